#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <array>
#include <cstdint>

// The Telnet protocol as a client of a serial server speaks it (RFC 854 with
// the Com Port Control Option of RFC 2217), without any socket: bytes from
// the server go in, and out come the data they carry, what to answer, and
// the server's com-port messages. Everything the server sends is outside
// input: unknown options are refused once, a subnegotiation is kept to a
// small size, and protocol bytes never become data.
class TelnetComPort
{
public:
    // Telnet commands and options.
    static constexpr std::uint8_t kIac = 255;
    static constexpr std::uint8_t kDont = 254;
    static constexpr std::uint8_t kDo = 253;
    static constexpr std::uint8_t kWont = 252;
    static constexpr std::uint8_t kWill = 251;
    static constexpr std::uint8_t kSb = 250;
    static constexpr std::uint8_t kSe = 240;
    static constexpr std::uint8_t kBinary = 0;
    static constexpr std::uint8_t kSuppressGoAhead = 3;
    static constexpr std::uint8_t kComPort = 44;

    // The client's com-port commands; the server answers with the same
    // command plus kServerOffset.
    enum Command : std::uint8_t {
        SetBaudRate = 1,
        SetDataSize = 2,
        SetParity = 3,
        SetStopSize = 4,
        SetControl = 5,
        NotifyLineState = 6,
        NotifyModemState = 7,
        FlowControlSuspend = 8,
        FlowControlResume = 9,
        SetLineStateMask = 10,
        SetModemStateMask = 11,
        PurgeData = 12,
    };
    static constexpr std::uint8_t kServerOffset = 100;

    // A com-port message of the server: its command as the client's
    // (without the offset) and its value.
    struct Message
    {
        std::uint8_t command = 0;
        QByteArray value;
        friend bool operator==(const Message &, const Message &) = default;
    };

    struct Received
    {
        QByteArray data;
        // To be sent back to the server, in this order.
        QByteArray reply;
        QList<Message> messages;
    };

    // What the client asks for at once: binary both ways, no go-ahead, and
    // the com-port option.
    static QByteArray greeting();
    // Data for the line, with every FF doubled.
    static QByteArray escape(QByteArrayView data);
    // A com-port command with its value (FF in it doubled).
    static QByteArray command(std::uint8_t command, QByteArrayView value);
    static QByteArray setBaudRate(std::uint32_t baud);

    // Takes the next bytes from the server, whatever way it split them.
    Received feed(QByteArrayView bytes);

    // Whether the server agreed to the com-port option (DO COM-PORT), or
    // turned it down.
    bool comPortAgreed() const { return m_ours[kComPort] == Option::On; }
    bool comPortRefused() const { return m_ours[kComPort] == Option::Refused; }
    // Protocol the parser threw away: an oversized or broken subnegotiation.
    int malformed() const { return m_malformed; }

private:
    enum class State { Data, Command, Option, Subnegotiation, SubnegotiationIac };
    enum class Option : std::uint8_t { Off, Asked, On, Refused };

    static bool weOffer(std::uint8_t option);
    static bool weAccept(std::uint8_t option);
    void negotiate(std::uint8_t verb, std::uint8_t option, Received &out);
    // The server asks for an option (DO, WILL) or withdraws it (DONT, WONT).
    static void offered(Option &state, bool wanted, std::uint8_t yes, std::uint8_t no,
        std::uint8_t option, Received &out);
    static void withdrawn(Option &state, std::uint8_t no, std::uint8_t option, Received &out);
    static void say(std::uint8_t verb, std::uint8_t option, Received &out);
    void endSubnegotiation(Received &out);

    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    QByteArray m_sub;
    bool m_subOverflow = false;
    int m_malformed = 0;
    // What this end does (WILL) and what it lets the server do (DO).
    std::array<Option, 256> m_ours = initialOurs();
    std::array<Option, 256> m_theirs = initialTheirs();

    static std::array<Option, 256> initialOurs();
    static std::array<Option, 256> initialTheirs();
};
