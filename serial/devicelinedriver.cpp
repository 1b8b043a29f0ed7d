#include "devicelinedriver.h"

#include "files/systemerror.h"

#include <QCoreApplication>
#include <cerrno>
#include <sys/ioctl.h>
#include <termios.h>

namespace {

constexpr cc_t kXon = 0x11;
constexpr cc_t kXoff = 0x13;

// A driver without modem lines (a pty, some USB bridges) answers their calls
// with "not a terminal" or "invalid argument", which would mislead here.
QString lineCallReason(int error)
{
    if (error == ENOTTY || error == EINVAL || error == EOPNOTSUPP)
        //: Why the modem control lines cannot be read or set
        return QCoreApplication::translate("DeviceLineDriver", "vom Treiber nicht unterstützt");
    return SystemError::reason(error);
}

} // namespace

DeviceLineDriver::DeviceLineDriver(int fd)
    : m_fd(fd)
{
    connect(&m_watch, &ModemLineWatch::linesChanged, this, &LineDriver::linesChanged);
    connect(&m_watch, &ModemLineWatch::failed, this,
        [this](int error) { Q_EMIT watchFailed(SystemError::reason(error)); });
}

DeviceLineDriver::~DeviceLineDriver()
{
    m_watch.stop();
}

void DeviceLineDriver::setHangUp(int fd, bool hangUp)
{
    termios settings = {};
    if (::tcgetattr(fd, &settings) != 0)
        return;
    if (hangUp)
        settings.c_cflag |= HUPCL;
    else
        settings.c_cflag &= ~tcflag_t(HUPCL);
    ::tcsetattr(fd, TCSANOW, &settings);
}

LineDriver::Reading DeviceLineDriver::read()
{
    int bits = 0;
    if (::ioctl(m_fd, TIOCMGET, &bits) != 0)
        return { std::nullopt, lineCallReason(errno) };
    return { bits, {} };
}

std::optional<QString> DeviceLineDriver::setOwnLines(int bits, bool on)
{
    if (::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bits) != 0)
        return lineCallReason(errno);
    return std::nullopt;
}

std::optional<QString> DeviceLineDriver::setBreak(bool on)
{
    if (::ioctl(m_fd, on ? TIOCSBRK : TIOCCBRK) != 0)
        return lineCallReason(errno);
    return std::nullopt;
}

std::optional<QString> DeviceLineDriver::applyFlowAndHangUp(
    LineChoices::FlowControl flow, bool keepDtrAfterClose)
{
    using Flow = LineChoices::FlowControl;
    termios settings = {};
    if (::tcgetattr(m_fd, &settings) != 0)
        //: The device's line settings (termios) cannot be read; %1 is the system's reason
        return tr("Einstellungen nicht lesbar (%1)").arg(SystemError::reason(errno));
    // IXANY stays off: with it any byte from the far end would end an XOFF,
    // and a device that talks while it is busy could be overrun.
    settings.c_cflag &= ~tcflag_t(CRTSCTS);
    settings.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    if (flow == Flow::RtsCts)
        settings.c_cflag |= CRTSCTS;
    if (flow == Flow::XonXoff) {
        settings.c_iflag |= IXON | IXOFF;
        settings.c_cc[VSTART] = kXon;
        settings.c_cc[VSTOP] = kXoff;
    }
    // Also for a program that ends without closing the port.
    if (keepDtrAfterClose)
        settings.c_cflag &= ~tcflag_t(HUPCL);
    else
        settings.c_cflag |= HUPCL;
    if (::tcsetattr(m_fd, TCSANOW, &settings) != 0) {
        //: %1 is the flow control (keine, RTS/CTS, XON/XOFF), %2 the system's reason
        return tr("Flusssteuerung „%1“ nicht einstellbar (%2)")
            .arg(LineChoices::flowCaption(flow), SystemError::reason(errno));
    }
    termios actual = {};
    if (::tcgetattr(m_fd, &actual) != 0)
        //: The device's line settings (termios) cannot be read; %1 is the system's reason
        return tr("Einstellungen nicht lesbar (%1)").arg(SystemError::reason(errno));
    const tcflag_t flowInput = IXON | IXOFF | IXANY;
    if ((actual.c_cflag & CRTSCTS) != (settings.c_cflag & CRTSCTS)
        || (actual.c_iflag & flowInput) != (settings.c_iflag & flowInput))
        //: The driver did not take the setting; %1 is the flow control (keine, RTS/CTS, XON/XOFF)
        return tr("Flusssteuerung „%1“ nicht übernommen").arg(LineChoices::flowCaption(flow));
    return std::nullopt;
}

void DeviceLineDriver::startWatching()
{
    m_watch.start(m_fd);
}

void DeviceLineDriver::stopWatching()
{
    m_watch.stop();
}
