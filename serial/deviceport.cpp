#include "deviceport.h"

#include "commerrorcatalog.h"
#include "deviceclaim.h"
#include "devicelinedriver.h"
#include "devicesetup.h"
#include "linesettings.h"
#include "openfailure.h"
#include "portlines.h"

#include <QSerialPort>
#include <algorithm>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

DevicePort::DevicePort(QObject *parent)
    : OpenPort(parent)
    , m_port(std::make_unique<QSerialPort>())
{
    connect(m_port.get(), &QSerialPort::readyRead, this, &DevicePort::readyRead);
    connect(m_port.get(), &QSerialPort::errorOccurred, this,
        [this](QSerialPort::SerialPortError error) {
            switch (error) {
            case QSerialPort::ReadError:
            case QSerialPort::ResourceError:
            case QSerialPort::WriteError:
                // QSerialPort keeps its notifiers armed after these and
                // reports the same error again on every pass of the event
                // loop, forever; only closing stops it.
                if (m_port->isOpen())
                    Q_EMIT lost();
                break;
            default:
                break;
            }
        });
}

DevicePort::~DevicePort()
{
    // Closing during member destruction would report into a half-destroyed object.
    m_port->disconnect(this);
}

bool DevicePort::isOpen() const
{
    return m_port->isOpen();
}

CommResult DevicePort::open(
    int commPort, const QString &configured, const QString &device, PortLines &lines)
{
    if (CommResult held = DeviceClaim::prepare(commPort, configured, device))
        return held;
    m_port->clearError();
    m_port->setPortName(device);
    if (!m_port->open(QIODevice::ReadWrite))
        return OpenFailure::classify(commPort, configured, *m_port);
    const int fd = int(m_port->handle());
    if (CommResult held = DeviceClaim::claim(commPort, configured, device, fd)) {
        // The rare loser of a race past prepare(); Qt's close also clears
        // the exclusive flag the winner may have set, which flock outlasts.
        m_port->close();
        return held;
    }
    // Lines chosen off go first: a board that resets on DTR or RTS should
    // see as short a pulse as the system allows.
    lines.attach(std::make_unique<DeviceLineDriver>(fd), commPort);
    DeviceClaim::markLockFile(device);
    m_device = device;
    m_isPseudoTerminal = DeviceSetup::deviceKind(fd) == DeviceSetup::DeviceKind::PseudoTerminal;
    return std::nullopt;
}

CommResult DevicePort::applySettings(int commPort, const LineSettings &settings)
{
    // A pseudo-terminal has no line to set; its driver would refuse parity
    // and 6 or 7 data bits although nothing depends on them.
    if (m_isPseudoTerminal)
        return std::nullopt;
    if (std::optional<QString> reason = DeviceSetup::apply(*m_port, settings))
        return CommErrorCatalog::settingsRefused(commPort, m_device, *reason);
    return std::nullopt;
}

void DevicePort::close(bool dropOutput, bool keepDtr)
{
    if (!m_port->isOpen())
        return;
    // A close with bytes still waiting in the driver makes the kernel wait up
    // to half a minute for a slow line to drain them; what has not left by
    // now is given up anyway.
    if (dropOutput)
        m_port->clear(QSerialPort::Output);
    // QSerialPort puts the device's settings from before back as it closes,
    // and with them its hang-up rule, which drops DTR at the last close. A
    // second descriptor keeps that close from being the last; the rule goes
    // from the settings put back, and closing the second one leaves DTR on.
    // The rule is set either way: one session that kept DTR would otherwise
    // leave its rule in the device for the next.
    const int keeper = ::fcntl(int(m_port->handle()), F_DUPFD_CLOEXEC, 0);
    m_port->close();
    if (keeper >= 0) {
        DeviceLineDriver::setHangUp(keeper, !keepDtr);
        ::close(keeper);
    }
    m_device.clear();
}

void DevicePort::closeLost()
{
    m_port->close();
    m_device.clear();
}

int DevicePort::descriptor() const
{
    return int(m_port->handle());
}

QByteArray DevicePort::readAll()
{
    return m_port->isOpen() ? m_port->readAll() : QByteArray();
}

qint64 DevicePort::bytesAvailable() const
{
    return m_port->isOpen() ? m_port->bytesAvailable() : 0;
}

qint64 DevicePort::outputInDriver() const
{
    int held = 0;
    if (!m_port->isOpen() || ::ioctl(descriptor(), TIOCOUTQ, &held) != 0)
        return 0;
    return std::max(held, 0);
}

void DevicePort::discardOutputInDriver()
{
    if (m_port->isOpen())
        ::tcflush(descriptor(), TCOFLUSH);
}

std::optional<SerialErrorCounts> DevicePort::errorCounts() const
{
    return OverrunWatch::readCounts(descriptor());
}
