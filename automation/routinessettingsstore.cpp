#include "routinessettingsstore.h"

#include "config/configfolder.h"

#include <QCoreApplication>
#include <utility>

RoutinesSettingsStore::RoutinesSettingsStore(QString path)
    : m_file(std::move(path))
{
}

QString RoutinesSettingsStore::pathBeside(const QString &settingsPath)
{
    return ConfigFolder::fileBeside(settingsPath, QLatin1String(kFileName));
}

RoutinesSettingsStore::LoadResult RoutinesSettingsStore::load()
{
    const SafeFile::Loaded loaded = m_file.load();
    if (!loaded.exists)
        return {};
    if (!loaded.unreadable.isEmpty()) {
        return { {},
            //: "Abläufe" = the routines file; %1 its path, %2 the system's reason, %3 the backup's
            //: path
            QCoreApplication::translate("RoutinesSettingsStore",
                "Die Abläufe „%1“ können nicht gelesen werden: %2. Es gelten die "
                "Voreinstellungen; die Datei bleibt, wie sie ist, bis Sie etwas "
                "ändern, und wird dann als „%3“ aufbewahrt.")
                .arg(m_file.displayPath(), loaded.unreadable, m_file.displayBackupPath()) };
    }
    RoutinesSettings::ReadResult read = RoutinesSettings::parse(loaded.bytes);
    if (read.problem.isEmpty())
        return { read.settings, {} };
    m_file.keepOldFileAtNextWrite(true);
    return { {},
        //: "Abläufe" = the routines file; %1 its path, %2 what is wrong, %3 the backup's path
        QCoreApplication::translate("RoutinesSettingsStore",
            "Die Abläufe „%1“ sind beschädigt: %2. Es gelten die Voreinstellungen; "
            "die Datei bleibt, wie sie ist, bis Sie etwas ändern, und wird dann als "
            "„%3“ aufbewahrt.")
            .arg(m_file.displayPath(), read.problem, m_file.displayBackupPath()) };
}

QString RoutinesSettingsStore::save(const RoutinesSettings &settings)
{
    QString reason;
    if (m_file.write(settings.serialize(), reason))
        return {};
    //: "Abläufe" = the routines file; %1 its path, %2 the system's reason
    return QCoreApplication::translate("RoutinesSettingsStore",
        "Die Abläufe „%1“ können nicht geschrieben werden: %2. Sie gelten bis "
        "zum Ende dieser Sitzung.")
        .arg(m_file.displayPath(), reason);
}
