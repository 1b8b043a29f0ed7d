#pragma once

#include "linesettings.h"
#include "networkaddress.h"
#include "openport.h"
#include "serialwriter.h"
#include "telnetcomport.h"

#include <QHostAddress>
#include <QList>
#include <QTimer>
#include <memory>

class LineDriver;
class QHostInfo;
class QSocketNotifier;

// A port on a serial server, reached over TCP: raw bytes ("tcp://"), or Telnet
// with the Com Port Control Option ("rfc2217://"), which carries the line
// settings and the wires as well. Connecting never blocks: the name is looked
// up and the connection made on the event loop, and ready() or failed()
// follows. A Telnet server is ready once it has agreed to the option and
// answered the line settings, which also tells that its port could be
// opened. The socket is written by the port object's writer, read here, and
// what the server sends is taken apart so that only its data reach the port
// object, each byte once.
class NetworkPort : public OpenPort
{
    Q_OBJECT

public:
    // How long a connection may take before it is given up, and how long a
    // Telnet server may take to agree to the com-port option and answer the
    // settings.
    static constexpr int kConnectWaitMs = 15000;
    static constexpr int kNegotiationWaitMs = 5000;

    NetworkPort(const NetworkAddress &address, SerialWriter &writer, QObject *parent = nullptr);
    ~NetworkPort() override;

    const NetworkAddress &address() const { return m_address; }
    // Starts connecting for COMn (named in errors), with these settings.
    void connectToServer(int commPort, const LineSettings &settings);
    bool isConnecting() const;
    bool isOpen() const override { return m_state == State::Open; }

    // The wires as this kind of port reaches them; for the open port.
    std::unique_ptr<LineDriver> makeLineDriver();

    // Sent to the server as SET-BAUDRATE, -DATASIZE, -PARITY and -STOPSIZE;
    // over raw TCP the settings stay local.
    [[nodiscard]] CommResult applySettings(int commPort, const LineSettings &settings) override;
    void close(bool dropOutput, bool keepDtr) override;
    void closeLost() override;

    QByteArray readAll() override;
    qint64 bytesAvailable() const override { return m_received.size(); }
    // The stream keeps the order of everything sent; nothing needs draining.
    qint64 outputInDriver() const override { return 0; }
    void discardOutputInDriver() override { }
    std::optional<SerialErrorCounts> errorCounts() const override { return std::nullopt; }

Q_SIGNALS:
    void ready();
    void failed(const CommError &error);
    // A com-port message of the server (a line changed, a command answered).
    void comPortMessage(const TelnetComPort::Message &message);

private:
    enum class State { Closed, LookingUp, Connecting, Negotiating, Open };

    void onLookedUp(const QHostInfo &info);
    void tryNextAddress();
    void onConnectDone();
    void onConnected();
    void onReadable();
    // Takes bytes from the server; false when the port was closed meanwhile.
    void take(QByteArrayView bytes);
    void onEnd(int error);
    void fail(const QString &reason, bool notFound = false);
    void closeSocket();
    void sendSettings(const LineSettings &settings);
    bool speaksTelnet() const { return m_address.kind == NetworkAddress::Kind::Rfc2217; }

    NetworkAddress m_address;
    SerialWriter &m_writer;
    int m_commPort = 0;
    std::optional<LineSettings> m_settings;
    bool m_settingsSent = false;
    State m_state = State::Closed;
    int m_lookupId = -1;
    QList<QHostAddress> m_candidates;
    int m_firstError = 0;
    int m_fd = -1;
    QSocketNotifier *m_connectNotifier = nullptr;
    QSocketNotifier *m_readNotifier = nullptr;
    QTimer m_deadline;
    TelnetComPort m_telnet;
    std::optional<TelnetComPort::Message> m_lastModemState;
    QByteArray m_received;
};
