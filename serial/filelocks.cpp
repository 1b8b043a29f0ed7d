#include "filelocks.h"

#include <QByteArrayList>
#include <QFile>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

bool isHeldLock(const QByteArray &type)
{
    // Leases and delegations are about caching, not about holding a file.
    return type == "FLOCK" || type == "POSIX" || type == "OFDLCK";
}

// "fe:00:10780676": the device of the file system in hex, major and minor,
// and the inode.
bool namesFile(const QByteArray &field, const struct stat &file)
{
    const QByteArrayList parts = field.split(':');
    if (parts.size() != 3)
        return false;
    bool ok[3] = {};
    const unsigned long long majorNumber = parts[0].toULongLong(&ok[0], 16);
    const unsigned long long minorNumber = parts[1].toULongLong(&ok[1], 16);
    const unsigned long long inode = parts[2].toULongLong(&ok[2], 10);
    return ok[0] && ok[1] && ok[2] && majorNumber == major(file.st_dev)
        && minorNumber == minor(file.st_dev) && inode == file.st_ino;
}

} // namespace

QList<qint64> FileLocks::holders(const QString &path)
{
    struct stat file = {};
    if (::stat(QFile::encodeName(path).constData(), &file) != 0)
        return {};
    QFile table(QStringLiteral("/proc/locks"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    QList<qint64> pids;
    // "1: FLOCK  ADVISORY  WRITE 1234 00:1a:6 0 EOF"; a process waiting for
    // the lock has "->" after the number and holds nothing yet.
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QByteArrayList fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields[1] == "->" || !isHeldLock(fields[1]))
            continue;
        bool ok = false;
        const qint64 pid = fields[4].toLongLong(&ok);
        if (ok && namesFile(fields[5], file))
            pids.append(pid);
    }
    return pids;
}
