#include "safefile.h"

#include "atomicfilewriter.h"
#include "privatefolder.h"
#include "systemerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <utility>

SafeFile::SafeFile(QString path)
    : m_path(std::move(path))
{
}

QString SafeFile::displayPath() const
{
    return QDir::toNativeSeparators(m_path);
}

QString SafeFile::displayBackupPath() const
{
    return QDir::toNativeSeparators(backupPath());
}

bool SafeFile::exists() const
{
    return QFileInfo::exists(m_path);
}

bool SafeFile::read(QByteArray &bytes, QString &reason) const
{
    const QFileInfo info(m_path);
    // A directory is left to open(); SystemError words its refusal.
    if (!info.isFile() && !info.isDir()) {
        //: the reason why a file of the program's own cannot be read: a pipe or a device stands in
        //: its place
        reason = QCoreApplication::translate("SafeFile", "keine gewöhnliche Datei");
        return false;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = SystemError::reason(file);
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = SystemError::reason(file);
        return false;
    }
    return true;
}

SafeFile::Loaded SafeFile::load()
{
    m_keepOldFile = false;
    Loaded loaded;
    loaded.exists = exists();
    if (loaded.exists && !read(loaded.bytes, loaded.unreadable))
        m_keepOldFile = true;
    return loaded;
}

bool SafeFile::write(const QByteArray &bytes, QString &reason)
{
    // The user's configuration folder does not exist before the first save.
    if (!PrivateFolder::createIfMissing(QFileInfo(m_path).absolutePath(), reason))
        return false;

    // Kept aside before the new file is even opened: a directory in the
    // file's place would make the save refuse to start.
    bool movedAside = false;
    if (m_keepOldFile && !moveOldFileAside(reason, movedAside))
        return false;

    AtomicFileWriter file(m_path);
    if (!file.open() || !file.write(bytes) || !file.commit()) {
        reason = file.reason();
        // The temporary file goes away with `file`, leaving no half-written file behind.
        if (movedAside)
            putOldFileBack();
        return false;
    }
    m_keepOldFile = false;
    return true;
}

bool SafeFile::moveOldFileAside(QString &reason, bool &moved) const
{
    const QByteArray from = QFile::encodeName(m_path);
    const QByteArray to = QFile::encodeName(backupPath());
    // A second name for the old file, not a move: the file stays in its place
    // until the new one replaces it in one step, so a program killed between
    // the two leaves a whole file, never none. An older backup goes first.
    moved = false;
    if (::link(from.constData(), to.constData()) == 0)
        return true;
    if (errno == EEXIST && ::unlink(to.constData()) == 0
        && ::link(from.constData(), to.constData()) == 0)
        return true;
    // A directory, or a file system without hard links: rename() rather than
    // QFile::rename, as it replaces an older backup in one step, and it moves
    // a file that cannot be read or a directory just as well.
    if (std::rename(from.constData(), to.constData()) == 0) {
        moved = true;
        return true;
    }
    const int error = errno;
    if (error == ENOENT)
        return true; // gone since it was read, nothing left to keep
    //: a reason inside a sentence; %1 is the backup path, %2 the system's reason
    reason = QCoreApplication::translate(
        "SafeFile", "die alte Datei lässt sich nicht nach „%1“ verschieben (%2)")
                 .arg(displayBackupPath(), SystemError::reason(error));
    return false;
}

void SafeFile::putOldFileBack() const
{
    // Best effort: should this fail too, the old file is still whole in the backup.
    const QByteArray from = QFile::encodeName(backupPath());
    const QByteArray to = QFile::encodeName(m_path);
    std::rename(from.constData(), to.constData());
}
