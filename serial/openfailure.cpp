#include "openfailure.h"

#include "commerrorcatalog.h"
#include "deviceholder.h"
#include "files/systemerror.h"

#include <QCoreApplication>
#include <QFile>
#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace CommErrorCatalog;

namespace {

#ifdef Q_OS_UNIX

CommError probeByOpening(int port, const QString &devicePath, const QString &portReason)
{
    const QByteArray native = QFile::encodeName(devicePath);
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        switch (error) {
        case EBUSY: // another program opened it exclusively (TIOCEXCL)
            return portInUse(port, devicePath, DeviceHolder::describe(devicePath));
        case EACCES:
        case EPERM:
            return accessDenied(port, devicePath, SystemError::reason(error));
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return deviceNotFound(port, devicePath, SystemError::reason(error));
        default:
            return openFailed(port, devicePath, SystemError::reason(error));
        }
    }
    const bool isTerminal = ::isatty(fd) == 1;
    ::close(fd);
    if (!isTerminal)
        return notASerialPort(port, devicePath, SystemError::reason(ENOTTY));
    return openFailed(port, devicePath, portReason);
}

CommError classifyUnix(int port, const QString &devicePath, const QString &portReason)
{
    const QByteArray native = QFile::encodeName(devicePath);
    struct stat status = {};
    if (::stat(native.constData(), &status) != 0) {
        const int error = errno;
        if (error == EACCES)
            return accessDenied(port, devicePath, SystemError::reason(error));
        return deviceNotFound(port, devicePath, SystemError::reason(error));
    }
    // The locks come before every other check: a port held by this very
    // program (a second object on the same device) looks fine otherwise, and
    // a lock taken since the look before the opening makes QSerialPort fail
    // without a word of why.
    if (!DeviceHolder::lockHolders(devicePath).isEmpty())
        return portInUse(port, devicePath, DeviceHolder::describe(devicePath));
    if (::access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return accessDenied(port, devicePath, SystemError::reason(EACCES));
    if (!S_ISCHR(status.st_mode)) {
        //: The path is no device node (a plain file, a folder); %1 is the system's reason
        return notASerialPort(port, devicePath,
            QCoreApplication::translate("OpenFailure", "keine Gerätedatei; %1").arg(portReason));
    }
    return probeByOpening(port, devicePath, portReason);
}

#endif

} // namespace

CommError OpenFailure::classify(int port, const QString &devicePath, const QSerialPort &serial)
{
#ifdef Q_OS_UNIX
    return classifyUnix(port, devicePath, SystemError::reason(serial));
#else
    // Windows opens a COM port exclusively and answers a held one with
    // "access denied", so there the permission error is the held port.
    switch (serial.error()) {
    case QSerialPort::DeviceNotFoundError:
        return deviceNotFound(port, devicePath, SystemError::reason(serial));
    case QSerialPort::PermissionError:
        return portInUse(port, devicePath, SystemError::reason(serial));
    case QSerialPort::UnsupportedOperationError:
        return notASerialPort(port, devicePath, SystemError::reason(serial));
    default:
        return openFailed(port, devicePath, SystemError::reason(serial));
    }
#endif
}
