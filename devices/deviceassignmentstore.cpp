#include "deviceassignmentstore.h"

#include "config/configfolder.h"

#include <QCoreApplication>
#include <utility>

DeviceAssignmentStore::DeviceAssignmentStore(QString path)
    : m_file(std::move(path))
{
}

QString DeviceAssignmentStore::pathBeside(const QString &settingsPath)
{
    return ConfigFolder::fileBeside(settingsPath, QLatin1String(kFileName));
}

DeviceAssignmentStore::LoadResult DeviceAssignmentStore::load()
{
    const SafeFile::Loaded loaded = m_file.load();
    if (!loaded.exists)
        return {};
    if (!loaded.unreadable.isEmpty()) {
        return { {},
            //: %1 is the path of the device assignment file, %2 the reason, %3 the path of the
            //: backup copy
            QCoreApplication::translate("DeviceAssignmentStore",
                "Die Gerätezuordnung „%1“ kann nicht gelesen werden: %2. COM1 und COM2 "
                "stehen für die ersten gefundenen Geräte; die Datei bleibt, wie sie "
                "ist, bis Sie Geräte zuordnen, und wird dann als „%3“ aufbewahrt.")
                .arg(m_file.displayPath(), loaded.unreadable, m_file.displayBackupPath()) };
    }
    DeviceAssignment::ReadResult read = DeviceAssignment::parse(loaded.bytes);
    if (read.problem.isEmpty())
        return { read.assignment, {} };
    m_file.keepOldFileAtNextWrite(true);
    return { {},
        //: %1 is the path of the device assignment file, %2 what is wrong in it, %3 the path of the
        //: backup copy
        QCoreApplication::translate("DeviceAssignmentStore",
            "Die Gerätezuordnung „%1“ ist beschädigt: %2. COM1 und COM2 stehen für "
            "die ersten gefundenen Geräte; die Datei bleibt, wie sie ist, bis Sie "
            "Geräte zuordnen, und wird dann als „%3“ aufbewahrt.")
            .arg(m_file.displayPath(), read.problem, m_file.displayBackupPath()) };
}

QString DeviceAssignmentStore::save(const DeviceAssignment &assignment)
{
    QString reason;
    if (m_file.write(assignment.serialize(), reason))
        return {};
    //: %1 is the path of the device assignment file, %2 the system's reason
    return QCoreApplication::translate("DeviceAssignmentStore",
        "Die Gerätezuordnung „%1“ kann nicht geschrieben werden: %2. Die "
        "Zuordnung gilt bis zum Ende dieser Sitzung.")
        .arg(m_file.displayPath(), reason);
}
