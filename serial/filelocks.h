#pragma once

#include <QList>
#include <QString>

// The locks the kernel keeps on files, as /proc/locks lists them: who holds a
// device or a lock file, seen without taking a lock of one's own. A lock
// taken just to test, even for a moment, would make a QLockFile that is being
// created at that moment go on without its lock.
class FileLocks
{
public:
    // The processes holding a lock (flock, POSIX or OFD) on the file, or on
    // the file a link leads to; -1 stands for an OFD lock, whose process the
    // kernel does not name. Empty when the file or /proc cannot be read.
    static QList<qint64> holders(const QString &path);
};
