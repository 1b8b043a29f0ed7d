#include "atomicfilewriter.h"

#include "systemerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <unistd.h>

namespace {

// Why a write cannot start. QSaveFile refuses an existing file it may not
// write with a text of its own that names no cause; the system knows the
// cause (a read-only file system, a permission).
QString whyNotWritable(const QSaveFile &saveFile)
{
    const QString path = saveFile.fileName();
    const QByteArray file = QFile::encodeName(path);
    if (::access(file.constData(), W_OK) != 0 && errno != ENOENT)
        return SystemError::reason(errno);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::access(folder.constData(), W_OK) != 0)
        return SystemError::reason(errno);
    return SystemError::reason(saveFile);
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const QString &path)
    : m_file(std::make_unique<QSaveFile>(path))
{
}

// QSaveFile removes its temporary file when it goes uncommitted.
AtomicFileWriter::~AtomicFileWriter() = default;

bool AtomicFileWriter::open()
{
    // Unbuffered, because a buffered QSaveFile flushes inside commit() without
    // checking, and so renames a cut-off file into place when the disk is full.
    if (m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    m_reason = whyNotWritable(*m_file);
    return false;
}

bool AtomicFileWriter::write(QByteArrayView bytes)
{
    // Writing on after a short write makes the system say why it stopped.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = m_file->write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            m_reason = SystemError::reason(*m_file);
            return false;
        }
        done += written;
    }
    return true;
}

bool AtomicFileWriter::commit()
{
    // commit() syncs too but ignores the result; a late write error shows here.
    if (::fsync(m_file->handle()) != 0) {
        m_reason = SystemError::reason(errno);
        return false;
    }
    if (!m_file->commit()) {
        m_reason = SystemError::reason(*m_file);
        return false;
    }
    return true;
}
