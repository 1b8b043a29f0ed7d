#include "settingsstore.h"

#include "configfolder.h"
#include "settingsfile.h"

#include <QCoreApplication>
#include <utility>

SettingsStore::SettingsStore(QString path)
    : m_file(std::move(path))
{
}

QString SettingsStore::defaultPath()
{
    return ConfigFolder::forThisProgram().filePath(QStringLiteral("tavel.cfg"));
}

SettingsStore::LoadResult SettingsStore::load()
{
    const SafeFile::Loaded loaded = m_file.load();
    if (!loaded.exists)
        return {};
    if (!loaded.unreadable.isEmpty()) {
        return { SavedState::defaults(),
            //: %1 is the path of tavel.cfg, %2 the system's reason, %3 the path of its backup
            QCoreApplication::translate("SettingsStore",
                "Die Einstellungsdatei „%1“ kann nicht gelesen werden: %2. Es "
                "gelten die Standardeinstellungen; beim Beenden wird die Datei "
                "als „%3“ aufbewahrt.")
                .arg(m_file.displayPath(), loaded.unreadable, m_file.displayBackupPath()) };
    }

    SettingsFile::ReadResult read = SettingsFile::parse(loaded.bytes);
    if (read.problem.isEmpty())
        return { read.state, {} };
    m_file.keepOldFileAtNextWrite(true);
    return { read.state,
        //: %1 is the path of tavel.cfg, %2 sentences that say what is wrong with it, %3 the
        //: path of its backup
        QCoreApplication::translate("SettingsStore",
            "Die Einstellungsdatei „%1“ ist beschädigt. %2 Was lesbar war, wurde "
            "übernommen; beim Beenden wird die alte Datei als „%3“ aufbewahrt.")
            .arg(m_file.displayPath(), read.problem, m_file.displayBackupPath()) };
}

SettingsStore::SaveResult SettingsStore::save(const SavedState &state)
{
    QString reason;
    if (m_file.write(SettingsFile::serialize(state), reason))
        return {};
    //: %1 is the path of tavel.cfg, %2 the system's reason
    return { QCoreApplication::translate("SettingsStore",
        "Die Einstellungsdatei „%1“ kann nicht geschrieben werden: %2. Die "
        "Einstellungen dieser Sitzung wurden nicht gespeichert.")
                 .arg(m_file.displayPath(), reason) };
}
