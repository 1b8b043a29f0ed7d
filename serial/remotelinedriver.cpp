#include "remotelinedriver.h"

#include "linebits.h"

#include <QCoreApplication>

namespace {

// SET-CONTROL values (RFC 2217).
enum Control : std::uint8_t {
    FlowNone = 1,
    FlowXonXoff = 2,
    FlowHardware = 3,
    BreakOn = 5,
    BreakOff = 6,
    DtrQuery = 7,
    DtrOn = 8,
    DtrOff = 9,
    RtsQuery = 10,
    RtsOn = 11,
    RtsOff = 12,
};

// NOTIFY-MODEMSTATE bits; the low four are the changes, not the lines.
constexpr std::uint8_t kStateDcd = 0x80;
constexpr std::uint8_t kStateRi = 0x40;
constexpr std::uint8_t kStateDsr = 0x20;
constexpr std::uint8_t kStateCts = 0x10;

int farLinesOf(std::uint8_t state)
{
    return ((state & kStateDcd) ? LineBits::kDcd : 0) | ((state & kStateRi) ? LineBits::kRi : 0)
        | ((state & kStateDsr) ? LineBits::kDsr : 0) | ((state & kStateCts) ? LineBits::kCts : 0);
}

QString noAnswerReason()
{
    //: Why the modem control lines of a port on a serial server are unknown
    return QCoreApplication::translate(
        "RemoteLineDriver", "der Server bestätigt DTR und RTS nicht");
}

} // namespace

RemoteLineDriver::RemoteLineDriver(Send send, QObject *parent)
    : LineDriver(parent)
    , m_send(std::move(send))
    // A server sets both lines when it opens its port.
    , m_own(LineBits::kOwnLines)
{
    m_answerWait.setSingleShot(true);
    m_answerWait.setInterval(kAnswerWaitMs);
    connect(&m_answerWait, &QTimer::timeout, this, [this] {
        if (m_awaited != 0)
            giveUp(noAnswerReason());
    });
}

void RemoteLineDriver::take(const TelnetComPort::Message &message)
{
    if (message.value.size() != 1 || !m_unknown.isEmpty())
        return;
    const auto value = std::uint8_t(message.value[0]);
    if (message.command == TelnetComPort::SetControl) {
        takeControlAnswer(value);
    } else if (message.command == TelnetComPort::NotifyModemState) {
        m_far = farLinesOf(value);
        if (m_watching)
            Q_EMIT linesChanged(m_own | m_far);
    }
}

void RemoteLineDriver::takeControlAnswer(std::uint8_t value)
{
    int line = 0;
    bool on = false;
    switch (value) {
    case DtrOn:
    case DtrOff:
        line = LineBits::kDtr;
        on = value == DtrOn;
        break;
    case RtsOn:
    case RtsOff:
        line = LineBits::kRts;
        on = value == RtsOn;
        break;
    case DtrQuery:
    case RtsQuery:
        // The question comes back unanswered: the server cannot read its
        // port's lines.
        giveUp(noAnswerReason());
        return;
    default:
        return;
    }
    m_awaited &= ~line;
    m_own = on ? (m_own | line) : (m_own & ~line);
    if (m_awaited == 0)
        m_answerWait.stop();
    Q_EMIT linesChanged(m_own | m_far);
}

void RemoteLineDriver::giveUp(const QString &reason)
{
    m_unknown = reason;
    m_awaited = 0;
    m_answerWait.stop();
    Q_EMIT linesLost(reason);
}

LineDriver::Reading RemoteLineDriver::read()
{
    if (!m_unknown.isEmpty())
        return { std::nullopt, m_unknown };
    return { m_own | m_far, {} };
}

std::optional<QString> RemoteLineDriver::setOwnLines(int bits, bool on)
{
    if (!m_unknown.isEmpty())
        return m_unknown;
    if (bits & LineBits::kDtr)
        sendControl(on ? DtrOn : DtrOff);
    if (bits & LineBits::kRts)
        sendControl(on ? RtsOn : RtsOff);
    bits &= LineBits::kOwnLines;
    m_own = on ? (m_own | bits) : (m_own & ~bits);
    m_awaited |= bits;
    if (bits != 0)
        m_answerWait.start();
    return std::nullopt;
}

std::optional<QString> RemoteLineDriver::setBreak(bool on)
{
    // Called from the thread that times the BREAK; the connection is this
    // object's thread's. Servers answer a BREAK unreliably (ser2net always
    // says "on"), so no answer is awaited.
    QMetaObject::invokeMethod(
        this, [this, on] { sendControl(on ? BreakOn : BreakOff); }, Qt::QueuedConnection);
    return std::nullopt;
}

std::optional<QString> RemoteLineDriver::applyFlowAndHangUp(
    LineChoices::FlowControl flow, bool /*keepDtrAfterClose: the server's own rule applies*/)
{
    switch (flow) {
    case LineChoices::FlowControl::None:
        sendControl(FlowNone);
        break;
    case LineChoices::FlowControl::RtsCts:
        sendControl(FlowHardware);
        break;
    case LineChoices::FlowControl::XonXoff:
        sendControl(FlowXonXoff);
        break;
    }
    return std::nullopt;
}

void RemoteLineDriver::startWatching()
{
    m_watching = true;
    // The mask covers the changes as well as the lines: a server reports
    // only what the mask lets through, change bits included.
    m_send(TelnetComPort::command(TelnetComPort::SetModemStateMask, QByteArray(1, char(0xff))));
    sendControl(DtrQuery);
    sendControl(RtsQuery);
}

void RemoteLineDriver::stopWatching()
{
    m_watching = false;
}

void RemoteLineDriver::sendControl(std::uint8_t value)
{
    m_send(TelnetComPort::command(TelnetComPort::SetControl, QByteArray(1, char(value))));
}
