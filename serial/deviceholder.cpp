#include "deviceholder.h"

#include "filelocks.h"
#include "portlockfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <dirent.h>
#include <memory>
#include <unistd.h>

namespace {

QString canonicalDevice(const QString &devicePath)
{
    const QString canonical = QFileInfo(devicePath).canonicalFilePath();
    return canonical.isEmpty() ? devicePath : canonical;
}

// The numbers of a /proc-style folder's numeric entries: PIDs in /proc,
// descriptors in /proc/PID/fd. Empty when the folder cannot be read.
QList<qint64> numberedEntries(const QByteArray &folder)
{
    QList<qint64> numbers;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return numbers;
    while (const dirent *entry = ::readdir(dir.get())) {
        bool ok = false;
        const qint64 number = QByteArray(entry->d_name).toLongLong(&ok);
        if (ok)
            numbers.append(number);
    }
    return numbers;
}

QList<qint64> othersAmong(QList<qint64> pids)
{
    const qint64 self = QCoreApplication::applicationPid();
    pids.removeIf([self](qint64 pid) { return pid <= 0 || pid == self; });
    return pids;
}

} // namespace

QList<qint64> DeviceHolder::lockHolders(const QString &devicePath)
{
    QList<qint64> pids = FileLocks::holders(devicePath);
    if (const std::optional<PortLockFile::Owner> owner = PortLockFile::owner(devicePath))
        pids.append(owner->pid);
    return pids;
}

bool DeviceHolder::isHeldElsewhere(const QString &devicePath)
{
    const qint64 self = QCoreApplication::applicationPid();
    const QList<qint64> pids = lockHolders(devicePath);
    return std::any_of(pids.begin(), pids.end(), [self](qint64 pid) { return pid != self; });
}

std::optional<DeviceHolder::Process> DeviceHolder::find(const QString &devicePath)
{
    const auto process = [](qint64 pid) { return Process { pid, nameOf(pid) }; };
    // The lock on the device is what keeps others out, so its holder is the
    // one to name, even when more processes have the device open.
    if (const QList<qint64> lockers = othersAmong(FileLocks::holders(devicePath));
        !lockers.isEmpty())
        return process(lockers.first());
    const std::optional<PortLockFile::Owner> lock = PortLockFile::owner(devicePath);
    // So is the lock on a lock file: QLockFile's, which stands for its
    // process alone, even before it has written its PID or opened the device.
    if (const QList<qint64> lockers
        = othersAmong(lock ? FileLocks::holders(lock->lockFilePath) : QList<qint64>());
        !lockers.isEmpty())
        return process(lockers.first());
    const QList<qint64> opened = othersAmong(openers(devicePath));
    const qint64 self = QCoreApplication::applicationPid();
    const qint64 lockPid = lock && lock->pid > 0 && lock->pid != self ? lock->pid : 0;
    // A lock file's PID may since have gone to an unrelated process; among
    // those with the device open it is the one that took the lock.
    if (lockPid > 0 && opened.contains(lockPid))
        return process(lockPid);
    if (!opened.isEmpty())
        return process(opened.first());
    if (lockPid > 0)
        return process(lockPid);
    return std::nullopt;
}

QString DeviceHolder::describe(const QString &devicePath)
{
    const std::optional<Process> holder = find(devicePath);
    if (!holder)
        //: Why a device cannot be opened: another process holds (locks) it
        return QCoreApplication::translate("DeviceHolder", "belegt");
    if (holder->name.isEmpty())
        //: Why a device cannot be opened: it is held (locked) by another process, whose process ID
        //: is %1
        return QCoreApplication::translate("DeviceHolder", "belegt (PID %1)").arg(holder->pid);
    //: Held by another process: %1 is the program's name, %2 its process ID
    return QCoreApplication::translate("DeviceHolder", "belegt von %1 (PID %2)")
        .arg(holder->name)
        .arg(holder->pid);
}

QList<qint64> DeviceHolder::openers(const QString &devicePath)
{
    const QByteArray device = QFile::encodeName(canonicalDevice(devicePath));
    QList<qint64> pids = numberedEntries("/proc");
    std::sort(pids.begin(), pids.end());
    // Each descriptor's link names what it has open; reading links never
    // touches the files behind them, which a stat on a hung network mount would.
    pids.removeIf([&device](qint64 pid) {
        const QByteArray folder = "/proc/" + QByteArray::number(pid) + "/fd";
        for (const qint64 fd : numberedEntries(folder)) {
            const QByteArray link = folder + '/' + QByteArray::number(fd);
            char target[PATH_MAX];
            const ssize_t length = ::readlink(link.constData(), target, sizeof target);
            if (length > 0 && QByteArray(target, length) == device)
                return false;
        }
        return true;
    });
    return pids;
}

QString DeviceHolder::nameOf(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll().trimmed());
}
