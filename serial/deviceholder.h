#pragma once

#include <QList>
#include <QString>
#include <optional>

// Who holds a serial device, told to the user when Tavel cannot have it
// (error 8005, the device dialog, the port's tool tip). Everything is read
// from /proc and the lock folders; the device itself is never opened, as an
// opening raises DTR and RTS, which resets many boards.
class DeviceHolder
{
public:
    struct Process
    {
        qint64 pid = 0;
        // From /proc/PID/comm; empty when it cannot be read.
        QString name;
    };

    // The processes that keep Tavel out of the device, this one among them:
    // a lock on the device itself (flock), and the owner of a lock file that
    // counts (see PortLockFile::owner).
    static QList<qint64> lockHolders(const QString &devicePath);
    // Some other process holds the device.
    static bool isHeldElsewhere(const QString &devicePath);

    // The process that holds the device, this one left out; nothing when
    // none can be seen (another user's processes hide their descriptors).
    static std::optional<Process> find(const QString &devicePath);
    // "belegt von NAME (PID N)", "belegt (PID N)" when the name cannot be
    // read, "belegt" when no holder can be seen.
    static QString describe(const QString &devicePath);

private:
    // The processes with the device open, in the order of their PIDs.
    static QList<qint64> openers(const QString &devicePath);
    static QString nameOf(qint64 pid);
};
