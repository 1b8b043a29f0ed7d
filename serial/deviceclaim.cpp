#include "deviceclaim.h"

#include "commerrorcatalog.h"
#include "deviceholder.h"
#include "portlockfile.h"

#include <cerrno>
#include <sys/file.h>

namespace DeviceClaim {

CommResult prepare(int port, const QString &configured, const QString &device)
{
    PortLockFile::removeStale(device);
    // Asked before QSerialPort opens anything, for two reasons. Its open
    // sets the line of a device that someone holds by flock alone (or that
    // root opens past TIOCEXCL) and its close clears the holder's exclusive
    // flag. And QLockFile takes a lock file without a program name, as other
    // terminal programs write them, for a stale one and removes it although
    // its process lives.
    if (!DeviceHolder::lockHolders(device).isEmpty())
        return CommErrorCatalog::portInUse(port, configured, DeviceHolder::describe(device));
    return std::nullopt;
}

CommResult claim(int port, const QString &configured, const QString &device, int fd)
{
    // Only a lock held by someone else refuses the port; a kernel that cannot
    // lock at all (ENOLCK) leaves the port to the other safeguards.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return CommErrorCatalog::portInUse(port, configured, DeviceHolder::describe(device));
    return std::nullopt;
}

void markLockFile(const QString &device)
{
    PortLockFile::writeUucpForm(device);
}

} // namespace DeviceClaim
