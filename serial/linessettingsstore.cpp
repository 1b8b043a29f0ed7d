#include "linessettingsstore.h"

#include "config/configfolder.h"

#include <QCoreApplication>
#include <utility>

LinesSettingsStore::LinesSettingsStore(QString path)
    : m_file(std::move(path))
{
}

QString LinesSettingsStore::pathBeside(const QString &settingsPath)
{
    return ConfigFolder::fileBeside(settingsPath, QLatin1String(kFileName));
}

LinesSettingsStore::LoadResult LinesSettingsStore::load()
{
    const SafeFile::Loaded loaded = m_file.load();
    if (!loaded.exists)
        return {};
    if (!loaded.unreadable.isEmpty()) {
        return { {},
            //: Leitungseinstellungen: the settings file of the Lines window (modem control lines).
            //: %1 is the file path, %2 the reason, %3 the path of the backup copy
            QCoreApplication::translate("LinesSettingsStore",
                "Die Leitungseinstellungen „%1“ können nicht gelesen werden: %2. Es "
                "gelten die Voreinstellungen; die Datei bleibt, wie sie ist, bis Sie "
                "etwas ändern, und wird dann als „%3“ aufbewahrt.")
                .arg(m_file.displayPath(), loaded.unreadable, m_file.displayBackupPath()) };
    }
    LinesSettings::ReadResult read = LinesSettings::parse(loaded.bytes);
    if (read.problem.isEmpty())
        return { read.settings, {} };
    m_file.keepOldFileAtNextWrite(true);
    return { {},
        //: %1 is the file path of the Lines window's settings, %2 what is wrong in it, %3 the path
        //: of the backup copy
        QCoreApplication::translate("LinesSettingsStore",
            "Die Leitungseinstellungen „%1“ sind beschädigt: %2. Es gelten die "
            "Voreinstellungen; die Datei bleibt, wie sie ist, bis Sie etwas ändern, "
            "und wird dann als „%3“ aufbewahrt.")
            .arg(m_file.displayPath(), read.problem, m_file.displayBackupPath()) };
}

QString LinesSettingsStore::save(const LinesSettings &settings)
{
    QString reason;
    if (m_file.write(settings.serialize(), reason))
        return {};
    //: %1 is the file path of the Lines window's settings, %2 the system's reason
    return QCoreApplication::translate("LinesSettingsStore",
        "Die Leitungseinstellungen „%1“ können nicht geschrieben werden: %2. "
        "Sie gelten bis zum Ende dieser Sitzung.")
        .arg(m_file.displayPath(), reason);
}
