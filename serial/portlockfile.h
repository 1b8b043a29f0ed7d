#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The UUCP-style lock files ("LCK..ttyS0") that QSerialPort and other
// terminal programs keep while they hold a device. QSerialPort writes them
// through QLockFile ("PID\nname\nhost\n..."), which also holds flock on the
// file from the moment it creates it until it removes it; other programs
// write the PID right-aligned in ten columns.
class PortLockFile
{
public:
    struct Owner
    {
        QString lockFilePath;
        // The process the lock stands for; for a lock file that names none
        // yet, the one holding it (see FileLocks::holders).
        qint64 pid = 0;
    };

    // The file name a lock on the device gets, e.g. "LCK..pts_3" for /dev/pts/3.
    static QString fileName(const QString &devicePath);
    // Where lock files are looked for: QSerialPort's folders in its order
    // (the first readable one that holds the lock or may take it is where it
    // writes its own), and /run/lock, where some programs write directly.
    // Each folder once, however many names it has.
    static QStringList folders();
    // The PID on the first line: digits, blanks around them allowed; nothing
    // when the line names no process there could be.
    static std::optional<qint64> pidIn(const QByteArray &content);

    // The lock on the device (or on the device a link points to) that
    // counts: one whose process is alive, or one that someone holds, as
    // QLockFile does before it has written its PID.
    static std::optional<Owner> owner(const QString &devicePath);
    // Removes the device's lock files that no process stands behind: empty,
    // naming no PID, or naming one that has ended. A file someone holds
    // stays whatever it says, and so does one this process may not remove.
    static void removeStale(const QString &devicePath);
    // Rewrites the lock file QSerialPort holds on the device for this
    // process in the ten-column form; see the reasons in the source.
    static void writeUucpForm(const QString &devicePath);

private:
    static bool isProcessAlive(qint64 pid);
};
