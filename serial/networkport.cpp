#include "networkport.h"

#include "commerrorcatalog.h"
#include "files/systemerror.h"
#include "linesettings.h"
#include "rawtcplinedriver.h"
#include "remotelinedriver.h"

#include <QHostInfo>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// One read call takes at most this much, and one wake-up at most the budget
// before the windows get their turn again: a window that fell behind finds
// megabytes waiting in the socket, and taking them all at once into both
// views would hold it up for a tenth of a second and more.
constexpr qsizetype kReadSlice = 64 * 1024;
constexpr qsizetype kReadBudget = 256 * 1024;
// A server that vanished without closing (a cable, a crash of its machine)
// is noticed after about half a minute of silence on a probed connection.
constexpr int kKeepIdleSeconds = 15;
constexpr int kKeepIntervalSeconds = 5;
constexpr int kKeepProbes = 3;
// Of what a server says before it closes, this much goes into the message.
constexpr qsizetype kFarewellShown = 200;

// SET-PARITY values (RFC 2217).
std::uint8_t parityValue(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::None:
        return 1;
    case LineSettings::Parity::Odd:
        return 2;
    case LineSettings::Parity::Even:
        return 3;
    case LineSettings::Parity::Mark:
        return 4;
    case LineSettings::Parity::Space:
        return 5;
    }
    return 1;
}

// SET-STOPSIZE values (RFC 2217).
std::uint8_t stopSizeValue(LineSettings::StopBits stopBits)
{
    switch (stopBits) {
    case LineSettings::StopBits::One:
        return 1;
    case LineSettings::StopBits::Two:
        return 2;
    case LineSettings::StopBits::OneAndHalf:
        return 3;
    }
    return 1;
}

void setOption(int fd, int level, int name, int value)
{
    (void)::setsockopt(fd, level, name, &value, sizeof value);
}

// What a server said before it closed: ser2net names the reason its port
// could not be opened ("Device open failure: ...") and hangs up.
QString farewellOf(const QByteArray &received)
{
    QString text = QString::fromUtf8(received.left(kFarewellShown)).simplified();
    text.removeIf([](QChar c) { return !c.isPrint(); });
    return text;
}

} // namespace

NetworkPort::NetworkPort(const NetworkAddress &address, SerialWriter &writer, QObject *parent)
    : OpenPort(parent)
    , m_address(address)
    , m_writer(writer)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_state == State::Negotiating) {
            //: The Telnet COM-PORT-OPTION of RFC 2217, which carries the serial settings
            fail(tr("der Server antwortet nicht auf die Com-Port-Option von RFC 2217"));
        } else {
            //: %1 is a number of seconds (more than one)
            fail(tr("der Server antwortet nicht innerhalb von %1 Sekunden")
                     .arg(kConnectWaitMs / 1000));
        }
    });
}

NetworkPort::~NetworkPort()
{
    closeSocket();
}

void NetworkPort::connectToServer(int commPort, const LineSettings &settings)
{
    closeSocket();
    m_commPort = commPort;
    m_settings = settings;
    m_settingsSent = false;
    m_telnet = TelnetComPort();
    m_lastModemState.reset();
    m_received.clear();
    m_firstError = 0;
    m_state = State::LookingUp;
    m_deadline.start(kConnectWaitMs);
    // An address needs no lookup; it still goes through the event loop, so
    // that the outcome never comes before the caller has returned.
    const QHostAddress literal(m_address.host);
    if (!literal.isNull()) {
        m_candidates = { literal };
        m_state = State::Connecting;
        QMetaObject::invokeMethod(this, &NetworkPort::tryNextAddress, Qt::QueuedConnection);
        return;
    }
    m_lookupId = QHostInfo::lookupHost(m_address.host, this, &NetworkPort::onLookedUp);
}

bool NetworkPort::isConnecting() const
{
    return m_state != State::Closed && m_state != State::Open;
}

void NetworkPort::onLookedUp(const QHostInfo &info)
{
    m_lookupId = -1;
    if (m_state != State::LookingUp)
        return;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        //: %1 is the server's host name
        fail(tr("der Rechnername „%1“ ist nicht bekannt").arg(m_address.host), true);
        return;
    }
    m_candidates = info.addresses();
    m_state = State::Connecting;
    tryNextAddress();
}

void NetworkPort::tryNextAddress()
{
    while (m_state == State::Connecting && !m_candidates.isEmpty()) {
        const QHostAddress address = m_candidates.takeFirst();
        sockaddr_storage storage {};
        socklen_t length = 0;
        if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            auto *in6 = reinterpret_cast<sockaddr_in6 *>(&storage);
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(m_address.port);
            const Q_IPV6ADDR bytes = address.toIPv6Address();
            std::memcpy(&in6->sin6_addr, &bytes, sizeof bytes);
            in6->sin6_scope_id = address.scopeId().toUInt();
            length = sizeof *in6;
        } else {
            auto *in4 = reinterpret_cast<sockaddr_in *>(&storage);
            in4->sin_family = AF_INET;
            in4->sin_port = htons(m_address.port);
            in4->sin_addr.s_addr = htonl(address.toIPv4Address());
            length = sizeof *in4;
        }
        m_fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) {
            m_firstError = m_firstError ? m_firstError : errno;
            continue;
        }
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&storage), length) == 0) {
            onConnected();
            return;
        }
        if (errno == EINPROGRESS) {
            m_connectNotifier = new QSocketNotifier(qintptr(m_fd), QSocketNotifier::Write, this);
            connect(
                m_connectNotifier, &QSocketNotifier::activated, this, &NetworkPort::onConnectDone);
            return;
        }
        m_firstError = m_firstError ? m_firstError : errno;
        ::close(std::exchange(m_fd, -1));
    }
    if (m_state == State::Connecting)
        fail(SystemError::reason(m_firstError ? m_firstError : ECONNREFUSED));
}

void NetworkPort::onConnectDone()
{
    m_connectNotifier->setEnabled(false);
    m_connectNotifier->deleteLater();
    m_connectNotifier = nullptr;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        error = errno;
    if (error == 0) {
        onConnected();
        return;
    }
    m_firstError = m_firstError ? m_firstError : error;
    ::close(std::exchange(m_fd, -1));
    tryNextAddress();
}

void NetworkPort::onConnected()
{
    // A keystroke goes at once, not after the last one was acknowledged.
    setOption(m_fd, IPPROTO_TCP, TCP_NODELAY, 1);
    setOption(m_fd, SOL_SOCKET, SO_KEEPALIVE, 1);
    setOption(m_fd, IPPROTO_TCP, TCP_KEEPIDLE, kKeepIdleSeconds);
    setOption(m_fd, IPPROTO_TCP, TCP_KEEPINTVL, kKeepIntervalSeconds);
    setOption(m_fd, IPPROTO_TCP, TCP_KEEPCNT, kKeepProbes);
    m_readNotifier = new QSocketNotifier(qintptr(m_fd), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &NetworkPort::onReadable);
    if (!speaksTelnet()) {
        m_writer.attach(m_fd, SerialWriter::Wire::Socket);
        m_state = State::Open;
        m_deadline.stop();
        Q_EMIT ready();
        return;
    }
    m_writer.attach(m_fd, SerialWriter::Wire::TelnetSocket);
    m_state = State::Negotiating;
    m_deadline.start(kNegotiationWaitMs);
    m_writer.sendControl(TelnetComPort::greeting());
}

void NetworkPort::onReadable()
{
    // Data that came with the negotiation are told once the port is open.
    const qsizetype before = m_state == State::Open ? m_received.size() : 0;
    qsizetype total = 0;
    char buffer[kReadSlice];
    while (total < kReadBudget) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got > 0) {
            total += got;
            take(QByteArrayView(buffer, got));
            if (m_state == State::Closed)
                return;
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        const int error = got == 0 ? 0 : errno;
        if (m_state == State::Open && m_received.size() > before)
            Q_EMIT readyRead();
        onEnd(error);
        return;
    }
    // Acknowledged at once: a server that waits for the acknowledgement
    // before its next small write (Nagle) would otherwise hold back what a
    // device sends by the receiver's delayed-ack time. Linux turns quick
    // acks off again by itself, so it is asked after every read.
    setOption(m_fd, IPPROTO_TCP, TCP_QUICKACK, 1);
    if (m_state == State::Open && m_received.size() > before)
        Q_EMIT readyRead();
}

void NetworkPort::take(QByteArrayView bytes)
{
    if (!speaksTelnet()) {
        m_received.append(bytes);
        return;
    }
    TelnetComPort::Received got = m_telnet.feed(bytes);
    m_received.append(got.data);
    if (!got.reply.isEmpty())
        m_writer.sendControl(got.reply);
    for (const TelnetComPort::Message &message : std::as_const(got.messages)) {
        if (message.command == TelnetComPort::NotifyModemState)
            m_lastModemState = message;
        Q_EMIT comPortMessage(message);
    }
    if (m_state != State::Negotiating)
        return;
    if (m_telnet.comPortAgreed() && !m_settingsSent) {
        m_settingsSent = true;
        sendSettings(*m_settings);
    }
    const bool answered = std::any_of(got.messages.cbegin(), got.messages.cend(),
        [](const TelnetComPort::Message &m) { return m.command == TelnetComPort::SetBaudRate; });
    if (m_settingsSent && answered) {
        m_state = State::Open;
        m_deadline.stop();
        Q_EMIT ready();
    } else if (m_telnet.comPortRefused()) {
        //: The Telnet COM-PORT-OPTION of RFC 2217, which carries the serial settings
        fail(tr("der Server lehnt die Com-Port-Option von RFC 2217 ab"));
    }
}

void NetworkPort::onEnd(int error)
{
    if (m_state == State::Open) {
        // The port object takes what arrived and closes.
        m_readNotifier->setEnabled(false);
        Q_EMIT lost();
        return;
    }
    // What the server said goes before how the connection ended: a server
    // that hangs up on unread bytes resets the connection.
    const QString farewell = farewellOf(m_received);
    if (!farewell.isEmpty())
        //: %1 is what the server sent before it closed the connection
        fail(tr("der Server hat die Verbindung beendet: „%1“").arg(farewell));
    else if (error != 0)
        fail(SystemError::reason(error));
    else
        fail(tr("der Server hat die Verbindung beendet"));
}

void NetworkPort::fail(const QString &reason, bool notFound)
{
    closeSocket();
    const QString where = m_address.toString();
    Q_EMIT failed(notFound ? CommErrorCatalog::serverNotFound(m_commPort, where, reason)
                           : CommErrorCatalog::connectFailed(m_commPort, where, reason));
}

std::unique_ptr<LineDriver> NetworkPort::makeLineDriver()
{
    if (!speaksTelnet())
        return std::make_unique<RawTcpLineDriver>();
    SerialWriter *writer = &m_writer;
    auto driver = std::make_unique<RemoteLineDriver>(
        [writer](const QByteArray &command) { writer->sendControl(command); });
    connect(this, &NetworkPort::comPortMessage, driver.get(), &RemoteLineDriver::take);
    // A server tells the lines once as it agrees to the option, before the
    // driver was there, and then only their changes.
    if (m_lastModemState)
        driver->take(*m_lastModemState);
    return driver;
}

CommResult NetworkPort::applySettings(int /*commPort*/, const LineSettings &settings)
{
    m_settings = settings;
    if (speaksTelnet() && m_state == State::Open)
        sendSettings(settings);
    return std::nullopt;
}

void NetworkPort::sendSettings(const LineSettings &settings)
{
    using T = TelnetComPort;
    m_writer.sendControl(T::setBaudRate(std::uint32_t(settings.baudRate()))
        + T::command(T::SetDataSize, QByteArray(1, char(settings.dataBits())))
        + T::command(T::SetParity, QByteArray(1, char(parityValue(settings.parity()))))
        + T::command(T::SetStopSize, QByteArray(1, char(stopSizeValue(settings.stopBits())))));
}

void NetworkPort::close(bool /*dropOutput*/, bool /*keepDtr*/)
{
    closeSocket();
    m_received.clear();
}

void NetworkPort::closeLost()
{
    closeSocket();
}

QByteArray NetworkPort::readAll()
{
    return std::exchange(m_received, {});
}

void NetworkPort::closeSocket()
{
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(std::exchange(m_lookupId, -1));
    for (QSocketNotifier **notifier : { &m_connectNotifier, &m_readNotifier }) {
        // Possibly called from the notifier's own signal, so it goes later.
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    if (m_fd >= 0) {
        m_writer.detach();
        ::close(std::exchange(m_fd, -1));
    }
    m_deadline.stop();
    m_candidates.clear();
    m_state = State::Closed;
}
