#include "portlockfile.h"

#include "filelocks.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough for any first line worth reading: QLockFile's PID, or ten columns
// and a line feed.
constexpr int kHeadSize = 64;

QString canonicalDevice(const QString &devicePath)
{
    // Locks are named after the device itself, not after a link to it.
    const QString canonical = QFileInfo(devicePath).canonicalFilePath();
    return canonical.isEmpty() ? devicePath : canonical;
}

// Opens a lock file without following a link and without waiting on a FIFO
// that someone put in its place in a folder everyone may write to.
int openLockFile(const QString &path, int access)
{
    const int fd
        = ::open(QFile::encodeName(path).constData(), access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat status = {};
    if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray headOf(int fd)
{
    char bytes[kHeadSize];
    const ssize_t length = ::pread(fd, bytes, sizeof bytes, 0);
    return length > 0 ? QByteArray(bytes, length) : QByteArray();
}

bool isStillThere(const QString &path, int fd)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0
        && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

QString PortLockFile::fileName(const QString &devicePath)
{
    QString name = devicePath.startsWith(QLatin1String("/dev/")) ? devicePath.mid(5) : devicePath;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

QStringList PortLockFile::folders()
{
    const QStringList candidates = { QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"),
        QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
        QStandardPaths::writableLocation(QStandardPaths::TempLocation),
        QStringLiteral("/run/lock") };
    QStringList folders;
    for (const QString &candidate : candidates) {
        const QString canonical = QFileInfo(candidate).canonicalFilePath();
        if (!canonical.isEmpty() && !folders.contains(canonical))
            folders.append(canonical);
    }
    return folders;
}

std::optional<qint64> PortLockFile::pidIn(const QByteArray &content)
{
    const qsizetype end = content.indexOf('\n');
    const QByteArray line = (end < 0 ? content : content.left(end)).trimmed();
    if (line.isEmpty())
        return std::nullopt;
    for (const char c : line) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 pid = line.toLongLong(&ok);
    if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return std::nullopt;
    return pid;
}

std::optional<PortLockFile::Owner> PortLockFile::owner(const QString &devicePath)
{
    const QString name = fileName(canonicalDevice(devicePath));
    for (const QString &folder : folders()) {
        const QString path = folder + QLatin1Char('/') + name;
        const int fd = openLockFile(path, O_RDONLY);
        if (fd < 0)
            continue;
        const std::optional<qint64> pid = pidIn(headOf(fd));
        ::close(fd);
        if (pid && isProcessAlive(*pid))
            return Owner { path, *pid };
        if (const QList<qint64> holders = FileLocks::holders(path); !holders.isEmpty())
            return Owner { path, holders.first() };
    }
    return std::nullopt;
}

void PortLockFile::removeStale(const QString &devicePath)
{
    const QString name = fileName(canonicalDevice(devicePath));
    for (const QString &folder : folders()) {
        const QString path = folder + QLatin1Char('/') + name;
        const int fd = openLockFile(path, O_RDONLY);
        if (fd < 0)
            continue;
        // Taking flock here, as QLockFile does before it removes a stale lock,
        // keeps two programs clearing the same file from removing a fresh one
        // that replaced it. A file that someone holds is in use whatever it says.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            const std::optional<qint64> pid = pidIn(headOf(fd));
            if ((!pid || !isProcessAlive(*pid)) && isStillThere(path, fd))
                (void)::unlink(QFile::encodeName(path).constData());
        }
        ::close(fd);
    }
}

// Other terminal programs read a lock as the PID in ten columns and a line
// feed; QLockFile's extra lines mean nothing to them. The file QLockFile
// made is rewritten rather than a second one made beside it: there is one
// file to create, hold and remove, QLockFile keeps holding it (flock belongs
// to its descriptor, which this one does not share, so closing ours keeps
// that lock), and it goes at close as before. The new text is written over
// the old before the rest is cut off, so that a reader never finds the file
// without a PID. Another Qt program takes a lock without a program name for
// a stale one, but QLockFile's flock keeps it from removing it.
void PortLockFile::writeUucpForm(const QString &devicePath)
{
    const qint64 self = QCoreApplication::applicationPid();
    const QString name = fileName(canonicalDevice(devicePath));
    for (const QString &folder : folders()) {
        const QString path = folder + QLatin1Char('/') + name;
        if (!FileLocks::holders(path).contains(self))
            continue;
        const int fd = openLockFile(path, O_RDWR);
        if (fd < 0)
            return;
        const QByteArray uucp = QByteArray::number(self).rightJustified(10) + '\n';
        if (pidIn(headOf(fd)) == self
            && ::pwrite(fd, uucp.constData(), size_t(uucp.size()), 0) == uucp.size())
            (void)::ftruncate(fd, uucp.size());
        ::close(fd);
        return;
    }
}

bool PortLockFile::isProcessAlive(qint64 pid)
{
    // EPERM: the process exists but belongs to someone else.
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}
