#include "sendfilereader.h"

#include "systemerror.h"
#include "text/bytecount.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Reads go in pieces of this size so that an interrupted or short read costs
// little to repeat; the buffer itself is allocated once, whole.
constexpr qint64 kReadPiece = 8 * 1024 * 1024;

QString cannotRead(const QString &path, const QString &reason)
{
    //: %1 is the file's path, %2 the system's reason
    return QCoreApplication::translate(
        "SendFileReader", "Die Datei „%1“ kann nicht gelesen werden: %2")
        .arg(path, reason);
}

QString tooLarge(const QString &path, qint64 size, qint64 limit)
{
    //: %1 is the file's path, %2 its size, %3 the free memory, both in bytes
    return QCoreApplication::translate("SendFileReader",
        "Die Datei „%1“ ist mit %2 Bytes zu groß zum Senden: es stehen nur "
        "%3 Bytes Arbeitsspeicher zur Verfügung.")
        .arg(path, ByteCount::number(size), ByteCount::number(limit));
}

#ifdef Q_OS_UNIX
// The kind of a file that is not a plain file, in words.
QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        //: completes "The file … cannot be sent: it is %2."
        return QCoreApplication::translate("SendFileReader", "eine benannte Pipe (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        //: completes "The file … cannot be sent: it is %2."
        return QCoreApplication::translate("SendFileReader", "eine Gerätedatei");
    if (S_ISSOCK(mode))
        //: completes "The file … cannot be sent: it is %2."
        return QCoreApplication::translate("SendFileReader", "ein Socket");
    //: completes "The file … cannot be sent: it is %2."
    return QCoreApplication::translate("SendFileReader", "keine gewöhnliche Datei");
}

// Fills bytes from fd; empty on success, otherwise the system's reason.
QString readAll(int fd, QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 want = std::min(kReadPiece, qint64(bytes.size()) - done);
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(want));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return SystemError::reason(errno);
        if (n == 0)
            break;
        done += n;
    }
    // A file that shrank while it was read is sent as it now stands.
    bytes.truncate(done);
    return {};
}

SendFileReader::Loaded loadFrom(int fd, const QString &path, std::optional<qint64> memoryLimit)
{
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return { {}, cannotRead(path, SystemError::reason(errno)) };
    if (S_ISDIR(status.st_mode))
        return { {}, cannotRead(path, SystemError::reason(EISDIR)) };
    if (!S_ISREG(status.st_mode)) {
        return { {},
            //: %1 is the file's path, %2 the kind of file, e.g. "a named pipe (FIFO)"
            QCoreApplication::translate(
                "SendFileReader", "Die Datei „%1“ kann nicht gesendet werden: sie ist %2.")
                .arg(path, kindOf(status.st_mode)) };
    }

    const qint64 size = status.st_size;
    // On a 32-bit build a byte array counts with 32 bits; a longer file must
    // be refused here rather than cut short later.
    const qint64 arrayLimit = std::numeric_limits<qsizetype>::max() / 2;
    const qint64 limit = std::min(memoryLimit.value_or(arrayLimit), arrayLimit);
    if (size > limit)
        return { {}, tooLarge(path, size, limit) };

    SendFileReader::Loaded loaded;
    try {
        loaded.bytes = QByteArray(qsizetype(size), Qt::Uninitialized);
    } catch (const std::bad_alloc &) {
        return { {}, cannotRead(path, SystemError::reason(ENOMEM)) };
    }
    if (QString reason = readAll(fd, loaded.bytes); !reason.isEmpty())
        return { {}, cannotRead(path, reason) };
    return loaded;
}
#endif

} // namespace

SendFileReader::Loaded SendFileReader::load(const QString &path, std::optional<qint64> memoryLimit)
{
    if (!memoryLimit)
        memoryLimit = availableMemory();
#ifdef Q_OS_UNIX
    // Non-blocking, so that opening a FIFO without a writer returns at once
    // and can be refused instead of waiting forever; a plain file ignores it.
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return { {}, cannotRead(path, SystemError::reason(errno)) };
    Loaded loaded = loadFrom(fd, path, memoryLimit);
    ::close(fd);
    return loaded;
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { {}, cannotRead(path, SystemError::reason(file)) };
    if (memoryLimit && file.size() > *memoryLimit)
        return { {}, tooLarge(path, file.size(), *memoryLimit) };
    Loaded loaded { file.readAll(), {} };
    if (file.error() != QFileDevice::NoError)
        return { {}, cannotRead(path, SystemError::reason(file)) };
    return loaded;
#endif
}

std::optional<qint64> SendFileReader::availableMemory()
{
    QFile info(QStringLiteral("/proc/meminfo"));
    if (!info.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A file under /proc reports the size 0, so it is read to its end, not
    // to a length. The line reads "MemAvailable:   12345678 kB".
    for (const QByteArray &line : info.readAll().split('\n')) {
        if (!line.startsWith("MemAvailable:"))
            continue;
        bool ok = false;
        const qint64 kibibytes = line.simplified().split(' ').value(1).toLongLong(&ok);
        if (ok)
            return kibibytes * 1024;
    }
    return std::nullopt;
}
