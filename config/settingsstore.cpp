#include "settingsstore.h"

#include "config/atomicfilewriter.h"
#include "config/configfolder.h"
#include "config/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <utility>

SettingsStore::SettingsStore(QString path)
    : m_path(std::move(path))
{
}

QString SettingsStore::defaultPath()
{
    return ConfigFolder::forThisProgram().filePath(QStringLiteral("tavel.cfg"));
}

SettingsStore::LoadResult SettingsStore::load()
{
    m_keepOldFile = false;
    if (!QFileInfo::exists(m_path))
        return {};

    QByteArray bytes;
    QString reason;
    if (!readWhole(bytes, reason)) {
        m_keepOldFile = true;
        return { SavedState::defaults(),
            QStringLiteral("Die Einstellungsdatei „%1“ kann nicht gelesen werden: %2. Es "
                           "gelten die Standardeinstellungen; beim Beenden wird die Datei "
                           "als „%3“ aufbewahrt.")
                .arg(displayPath(), reason, QDir::toNativeSeparators(backupPath())) };
    }

    SettingsFile::ReadResult read = SettingsFile::parse(bytes);
    if (read.problem.isEmpty())
        return { read.state, {} };
    m_keepOldFile = true;
    return { read.state,
        QStringLiteral("Die Einstellungsdatei „%1“ ist beschädigt. %2 Was lesbar war, wurde "
                       "übernommen; beim Beenden wird die alte Datei als „%3“ aufbewahrt.")
            .arg(displayPath(), read.problem, QDir::toNativeSeparators(backupPath())) };
}

SettingsStore::SaveResult SettingsStore::save(const SavedState &state)
{
    const auto failure = [this](const QString &reason) {
        return SaveResult { QStringLiteral("Die Einstellungsdatei „%1“ kann nicht geschrieben "
                                           "werden: %2. Die Einstellungen dieser Sitzung wurden "
                                           "nicht gespeichert.")
                                .arg(displayPath(), reason) };
    };

    // The user's configuration folder does not exist before the first save.
    QString folderReason;
    if (!ConfigFolder::createIfMissing(QFileInfo(m_path).absolutePath(), folderReason))
        return failure(folderReason);

    // Kept aside before the new file is even opened: a directory in the
    // file's place would make the save refuse to start.
    bool movedAside = false;
    if (m_keepOldFile) {
        QString reason;
        if (!moveOldFileAside(reason, movedAside))
            return failure(reason);
    }

    AtomicFileWriter file(m_path);
    if (!file.open() || !file.write(SettingsFile::serialize(state)) || !file.commit()) {
        // The temporary file goes away with `file`, leaving no half-written file behind.
        if (movedAside)
            putOldFileBack();
        return failure(file.reason());
    }
    m_keepOldFile = false;
    return {};
}

bool SettingsStore::readWhole(QByteArray &bytes, QString &reason) const
{
    const QFileInfo info(m_path);
    // Reading a pipe or a device would block or never end; a directory is left
    // to open(), which says why in the system's words.
    if (!info.isFile() && !info.isDir()) {
        reason = QStringLiteral("keine gewöhnliche Datei");
        return false;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    return true;
}

bool SettingsStore::moveOldFileAside(QString &reason, bool &moved) const
{
    const QByteArray from = QFile::encodeName(m_path);
    const QByteArray to = QFile::encodeName(backupPath());
    // A second name for the old file, not a move: the file stays in its place
    // until the new one replaces it in one step, so a program killed between
    // the two leaves a whole tavel.cfg, never none. An older backup goes first.
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
        return true; // gone since load(), nothing left to keep
    reason
        = QStringLiteral("die alte Datei lässt sich nicht nach „%1“ verschieben (%2)")
              .arg(QDir::toNativeSeparators(backupPath()), AtomicFileWriter::systemReason(error));
    return false;
}

void SettingsStore::putOldFileBack() const
{
    // Best effort: should this fail too, the old file is still whole in the backup.
    const QByteArray from = QFile::encodeName(backupPath());
    const QByteArray to = QFile::encodeName(m_path);
    std::rename(from.constData(), to.constData());
}

QString SettingsStore::displayPath() const
{
    return QDir::toNativeSeparators(m_path);
}
