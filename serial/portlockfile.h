#pragma once

#include <QString>
#include <optional>

// The UUCP-style lock files ("LCK..ttyS0") that QSerialPort and other
// terminal programs keep in /var/lock while they hold a device. Root ignores
// the kernel's exclusive-open flag, so these files are the only sign that
// reliably tells a held port apart from other failures.
class PortLockFile
{
public:
    struct Owner
    {
        QString lockFilePath;
        qint64 pid = 0;
    };

    // The file name a lock on the device gets, e.g. "LCK..pts_3" for /dev/pts/3.
    static QString fileName(const QString &devicePath);
    // The lock on the device (or on the device a link points to) whose
    // owning process is still alive, if any. A lock left behind by a process
    // that has ended does not count.
    static std::optional<Owner> liveOwner(const QString &devicePath);

private:
    static std::optional<qint64> readPid(const QString &lockFilePath);
    static bool isProcessAlive(qint64 pid);
};
