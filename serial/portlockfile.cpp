#include "portlockfile.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace {

// Where QSerialPort looks for a usable lock folder, in its order; other
// programs use the same places.
const char *const kLockDirectories[]
    = { "/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp", "/run/lock" };

} // namespace

QString PortLockFile::fileName(const QString &devicePath)
{
    QString name = devicePath.startsWith(QLatin1String("/dev/")) ? devicePath.mid(5) : devicePath;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

std::optional<PortLockFile::Owner> PortLockFile::liveOwner(const QString &devicePath)
{
#ifdef Q_OS_UNIX
    // Locks are named after the device itself, not after a link to it.
    const QString canonical = QFileInfo(devicePath).canonicalFilePath();
    const QString name = fileName(canonical.isEmpty() ? devicePath : canonical);
    for (const char *directory : kLockDirectories) {
        const QString path = QLatin1String(directory) + QLatin1Char('/') + name;
        const std::optional<qint64> pid = readPid(path);
        if (pid && isProcessAlive(*pid))
            return Owner { path, *pid };
    }
#else
    Q_UNUSED(devicePath);
#endif
    return std::nullopt;
}

std::optional<qint64> PortLockFile::readPid(const QString &lockFilePath)
{
    QFile file(lockFilePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // QLockFile writes the pid on the first line; UUCP-style locks write it
    // right-aligned in ten columns. Both read the same once trimmed.
    bool ok = false;
    const qint64 pid = file.readLine(64).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    return pid;
}

bool PortLockFile::isProcessAlive(qint64 pid)
{
#ifdef Q_OS_UNIX
    // EPERM: the process exists but belongs to someone else.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    Q_UNUSED(pid);
    return false;
#endif
}
