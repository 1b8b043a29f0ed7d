#pragma once

#include "files/safefile.h"
#include "linessettings.h"

#include <QString>

// The lines window's choices on disk, in a small file of its own beside
// tavel.cfg, whose 30 lines have no room for them. Saved as soon as the user
// changes a choice, through the same careful save as tavel.cfg; a damaged
// file stays untouched until then and is kept as its .bak.
class LinesSettingsStore
{
public:
    static constexpr char kFileName[] = "tavel-leitungen.cfg";

    struct LoadResult
    {
        LinesSettings settings;
        // Empty when there was no file or it was sound; otherwise a
        // message that names the file and what is wrong with it.
        QString problem;
    };

    explicit LinesSettingsStore(QString path);
    // The file in the folder that holds the given tavel.cfg.
    static QString pathBeside(const QString &settingsPath);

    QString path() const { return m_file.path(); }
    QString backupPath() const { return m_file.backupPath(); }

    LoadResult load();
    // Empty on success; otherwise a message in the interface's language with the path and the
    // system's reason.
    QString save(const LinesSettings &settings);

private:
    SafeFile m_file;
};
