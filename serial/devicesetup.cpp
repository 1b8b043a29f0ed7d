#include "devicesetup.h"

#include "files/systemerror.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>

// The kernel's termios2, which carries the rate as a number. Its header
// clashes with <termios.h>, so the layout is repeated here; TCGETS2 comes
// with <sys/ioctl.h>.
struct termios2
{
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};
#endif

namespace {

// A UART divides its clock, so the rate it reports back may be a little off
// the one asked for; a receiver tolerates a few percent.
constexpr double kBaudTolerance = 0.03;

constexpr int kPtySlaveFirstMajor = 136;
constexpr int kPtySlaveLastMajor = 143;
constexpr int kLegacyPtySlaveMajor = 3;

QString parityName(LineSettings::Parity parity)
{
    return QCoreApplication::translate("LineSettings", LineSettings::rowOf(parity).word);
}

#ifdef Q_OS_UNIX
bool parityMatches(tcflag_t flags, LineSettings::Parity parity)
{
    using Parity = LineSettings::Parity;
    if (bool(flags & PARENB) != (parity != Parity::None))
        return false;
    if (parity == Parity::None)
        return true;
        // Mark and space are "stick" parity: CMSPAR with PARODD for mark. A
        // driver without stick parity drops CMSPAR and would send odd or even.
#ifdef CMSPAR
    const bool wantsStick = parity == Parity::Mark || parity == Parity::Space;
    if (bool(flags & CMSPAR) != wantsStick)
        return false;
#endif
    return bool(flags & PARODD) == (parity == Parity::Odd || parity == Parity::Mark);
}
#endif

} // namespace

DeviceSetup::DeviceKind DeviceSetup::deviceKind(int fd)
{
#ifdef Q_OS_LINUX
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && S_ISCHR(status.st_mode)) {
        const unsigned int deviceMajor = major(status.st_rdev);
        if ((deviceMajor >= kPtySlaveFirstMajor && deviceMajor <= kPtySlaveLastMajor)
            || deviceMajor == kLegacyPtySlaveMajor)
            return DeviceKind::PseudoTerminal;
    }
#else
    Q_UNUSED(fd);
#endif
    return DeviceKind::SerialPort;
}

std::optional<QString> DeviceSetup::apply(QSerialPort &port, const LineSettings &settings)
{
    if (!settings.isSendable())
        return LineSettings::unsendableReason();
    if (std::optional<QString> refused = applyFrame(port, settings))
        return refused;
    if (std::optional<QString> refused = verifyFrame(int(port.handle()), settings))
        return refused;
    return applyBaudRate(port, settings.baudRate());
}

std::optional<QString> DeviceSetup::applyBaudRate(QSerialPort &port, int baudRate)
{
    if (!port.setBaudRate(baudRate)) {
        //: %1 is the baud rate, %2 the system's reason
        return QCoreApplication::translate("DeviceSetup", "Baudrate %1 nicht einstellbar (%2)")
            .arg(baudRate)
            .arg(SystemError::reason(port));
    }
    const std::optional<qint64> actual = actualBaudRate(int(port.handle()));
    if (actual && std::abs(double(*actual - baudRate)) > baudRate * kBaudTolerance) {
        //: %1 is the baud rate asked for, %2 the rate the driver reports instead
        return QCoreApplication::translate(
            "DeviceSetup", "Baudrate %1 nicht übernommen, der Treiber meldet %2")
            .arg(baudRate)
            .arg(*actual);
    }
    return std::nullopt;
}

QSerialPort::Parity DeviceSetup::qtParity(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::None:
        return QSerialPort::NoParity;
    case LineSettings::Parity::Even:
        return QSerialPort::EvenParity;
    case LineSettings::Parity::Odd:
        return QSerialPort::OddParity;
    case LineSettings::Parity::Mark:
        return QSerialPort::MarkParity;
    case LineSettings::Parity::Space:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits DeviceSetup::qtStopBits(LineSettings::StopBits stopBits)
{
    // Never OneAndHalfStop: Qt on Linux turns that into one stop bit.
    return stopBits == LineSettings::StopBits::One ? QSerialPort::OneStop : QSerialPort::TwoStop;
}

std::optional<qint64> DeviceSetup::actualBaudRate(int fd)
{
#ifdef Q_OS_LINUX
    struct termios2 settings = {};
    if (::ioctl(fd, TCGETS2, &settings) == 0)
        return qint64(settings.c_ospeed);
#else
    Q_UNUSED(fd);
#endif
    return std::nullopt;
}

std::optional<QString> DeviceSetup::applyFrame(QSerialPort &port, const LineSettings &settings)
{
    if (!port.setDataBits(QSerialPort::DataBits(settings.dataBits()))) {
        //: %1 is the number of data bits, %2 the system's reason
        return QCoreApplication::translate("DeviceSetup", "%1 Datenbits nicht einstellbar (%2)")
            .arg(settings.dataBits())
            .arg(SystemError::reason(port));
    }
    if (!port.setParity(qtParity(settings.parity()))) {
        //: %1 is the parity word (keine, gerade, ungerade, Mark, Space; translated on its
        //: own), %2 the system's reason
        return QCoreApplication::translate("DeviceSetup", "Parität „%1“ nicht einstellbar (%2)")
            .arg(parityName(settings.parity()), SystemError::reason(port));
    }
    if (!port.setStopBits(qtStopBits(settings.stopBits()))) {
        //: %1 is the number of stop bits (1, 1.5, 2), %2 the system's reason
        return QCoreApplication::translate("DeviceSetup", "Stopbits %1 nicht einstellbar (%2)")
            .arg(settings.toString().section(QLatin1Char(','), 3), SystemError::reason(port));
    }
    return std::nullopt;
}

std::optional<QString> DeviceSetup::verifyFrame(int fd, const LineSettings &settings)
{
#ifdef Q_OS_UNIX
    struct termios actual = {};
    if (::tcgetattr(fd, &actual) != 0)
        //: The device's line settings (termios) cannot be read; %1 is the system's reason
        return QCoreApplication::translate("DeviceSetup", "Einstellungen nicht lesbar (%1)")
            .arg(SystemError::reason(errno));
    static const tcflag_t sizes[] = { CS5, CS6, CS7, CS8 };
    if ((actual.c_cflag & CSIZE) != sizes[settings.dataBits() - 5])
        //: The driver did not take the setting; %1 is the number of data bits
        return QCoreApplication::translate("DeviceSetup", "%1 Datenbits nicht übernommen")
            .arg(settings.dataBits());
    if (!parityMatches(actual.c_cflag, settings.parity()))
        //: The driver did not take the setting; %1 is the parity word (keine, gerade, ungerade,
        //: Mark, Space; translated on its own)
        return QCoreApplication::translate("DeviceSetup", "Parität „%1“ nicht übernommen")
            .arg(parityName(settings.parity()));
    const bool wantsLongStop = settings.stopBits() != LineSettings::StopBits::One;
    if (bool(actual.c_cflag & CSTOPB) != wantsLongStop)
        //: The driver did not take the setting of more than one stop bit
        return QCoreApplication::translate("DeviceSetup", "langes Stopbit nicht übernommen");
#else
    Q_UNUSED(fd);
    Q_UNUSED(settings);
#endif
    return std::nullopt;
}
