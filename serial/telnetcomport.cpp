#include "telnetcomport.h"

namespace {

// The longest com-port message is SET-BAUDRATE: a command and four bytes.
// Anything much longer is not one, and is not kept.
constexpr qsizetype kMaxSubnegotiation = 64;

} // namespace

std::array<TelnetComPort::Option, 256> TelnetComPort::initialOurs()
{
    std::array<Option, 256> options {};
    options.fill(Option::Off);
    for (std::uint8_t option : { kBinary, kSuppressGoAhead, kComPort })
        options[option] = Option::Asked;
    return options;
}

std::array<TelnetComPort::Option, 256> TelnetComPort::initialTheirs()
{
    std::array<Option, 256> options {};
    options.fill(Option::Off);
    for (std::uint8_t option : { kBinary, kSuppressGoAhead })
        options[option] = Option::Asked;
    return options;
}

QByteArray TelnetComPort::greeting()
{
    const char bytes[] = { char(kIac), char(kWill), char(kBinary), char(kIac), char(kDo),
        char(kBinary), char(kIac), char(kWill), char(kSuppressGoAhead), char(kIac), char(kDo),
        char(kSuppressGoAhead), char(kIac), char(kWill), char(kComPort) };
    return QByteArray(bytes, sizeof bytes);
}

QByteArray TelnetComPort::escape(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size() + data.size() / 64);
    for (char byte : data) {
        out += byte;
        if (std::uint8_t(byte) == kIac)
            out += byte;
    }
    return out;
}

QByteArray TelnetComPort::command(std::uint8_t code, QByteArrayView value)
{
    QByteArray out;
    out += char(kIac);
    out += char(kSb);
    out += char(kComPort);
    out += char(code);
    out += escape(value);
    out += char(kIac);
    out += char(kSe);
    return out;
}

QByteArray TelnetComPort::setBaudRate(std::uint32_t baud)
{
    const char value[] = { char(baud >> 24), char(baud >> 16), char(baud >> 8), char(baud) };
    return command(SetBaudRate, QByteArrayView(value, 4));
}

bool TelnetComPort::weOffer(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}

bool TelnetComPort::weAccept(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead;
}

TelnetComPort::Received TelnetComPort::feed(QByteArrayView bytes)
{
    Received out;
    out.data.reserve(bytes.size());
    for (char c : bytes) {
        const std::uint8_t byte = std::uint8_t(c);
        switch (m_state) {
        case State::Data:
            if (byte == kIac)
                m_state = State::Command;
            else
                out.data += c;
            break;
        case State::Command:
            if (byte == kIac) {
                out.data += c;
                m_state = State::Data;
            } else if (byte >= kWill && byte <= kDont) {
                m_verb = byte;
                m_state = State::Option;
            } else if (byte == kSb) {
                m_sub.clear();
                m_subOverflow = false;
                m_state = State::Subnegotiation;
            } else {
                // NOP, go-ahead, a stray SE and the like carry nothing here.
                m_state = State::Data;
            }
            break;
        case State::Option:
            negotiate(m_verb, byte, out);
            m_state = State::Data;
            break;
        case State::Subnegotiation:
            if (byte == kIac)
                m_state = State::SubnegotiationIac;
            else if (m_sub.size() < kMaxSubnegotiation)
                m_sub += c;
            else
                m_subOverflow = true;
            break;
        case State::SubnegotiationIac:
            if (byte == kSe) {
                endSubnegotiation(out);
                m_state = State::Data;
            } else if (byte == kIac) {
                if (m_sub.size() < kMaxSubnegotiation)
                    m_sub += c;
                else
                    m_subOverflow = true;
                m_state = State::Subnegotiation;
            } else {
                // IAC followed by anything else inside a subnegotiation
                // breaks it off; the command is read as a command.
                ++m_malformed;
                m_state = State::Command;
                if (byte >= kWill && byte <= kDont) {
                    m_verb = byte;
                    m_state = State::Option;
                } else if (byte == kSb) {
                    m_sub.clear();
                    m_subOverflow = false;
                    m_state = State::Subnegotiation;
                } else {
                    m_state = State::Data;
                }
            }
            break;
        }
    }
    return out;
}

void TelnetComPort::negotiate(std::uint8_t verb, std::uint8_t option, Received &out)
{
    // DO and DONT speak of what this end does, WILL and WONT of what the
    // server does; the rules are the same for both sides.
    switch (verb) {
    case kDo:
        return offered(m_ours[option], weOffer(option), kWill, kWont, option, out);
    case kDont:
        return withdrawn(m_ours[option], kWont, option, out);
    case kWill:
        return offered(m_theirs[option], weAccept(option), kDo, kDont, option, out);
    case kWont:
        return withdrawn(m_theirs[option], kDont, option, out);
    default:
        return;
    }
}

// Each option is answered at most once per change of its state, so a server
// that repeats itself cannot start an endless exchange.
void TelnetComPort::offered(Option &state, bool wanted, std::uint8_t yes, std::uint8_t no,
    std::uint8_t option, Received &out)
{
    if (state == Option::On)
        return;
    if (wanted) {
        if (state != Option::Asked)
            say(yes, option, out);
        state = Option::On;
    } else if (state != Option::Refused) {
        say(no, option, out);
        state = Option::Refused;
    }
}

void TelnetComPort::withdrawn(Option &state, std::uint8_t no, std::uint8_t option, Received &out)
{
    if (state == Option::On)
        say(no, option, out);
    state = Option::Refused;
}

void TelnetComPort::say(std::uint8_t verb, std::uint8_t option, Received &out)
{
    out.reply += char(kIac);
    out.reply += char(verb);
    out.reply += char(option);
}

void TelnetComPort::endSubnegotiation(Received &out)
{
    if (m_subOverflow || m_sub.size() < 2 || std::uint8_t(m_sub.at(0)) != kComPort) {
        ++m_malformed;
        return;
    }
    const std::uint8_t code = std::uint8_t(m_sub.at(1));
    if (code < kServerOffset) {
        ++m_malformed;
        return;
    }
    out.messages.append({ std::uint8_t(code - kServerOffset), m_sub.mid(2) });
}
