#pragma once

#include "files/safefile.h"
#include "routinessettings.h"

#include <QString>

// The "Abläufe" window's repeats and rules on disk, in a small file of their
// own beside tavel.cfg, whose 30 lines have no room for them. Saved through
// the same careful save as tavel.cfg; a damaged file stays untouched until
// the next save and is kept as its .bak.
class RoutinesSettingsStore
{
public:
    static constexpr char kFileName[] = "tavel-ablaeufe.cfg";

    struct LoadResult
    {
        RoutinesSettings settings;
        // Empty when there was no file or it was sound; otherwise a translated
        // message that names the file and what is wrong with it.
        QString problem;
    };

    explicit RoutinesSettingsStore(QString path);
    // The file in the folder that holds the given tavel.cfg.
    static QString pathBeside(const QString &settingsPath);

    QString path() const { return m_file.path(); }
    QString backupPath() const { return m_file.backupPath(); }

    LoadResult load();
    // Empty on success; otherwise a translated message with the path and the
    // system's reason.
    QString save(const RoutinesSettings &settings);

private:
    SafeFile m_file;
};
