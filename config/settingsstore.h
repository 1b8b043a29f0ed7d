#pragma once

#include "files/safefile.h"
#include "savedstate.h"

#include <QString>

// tavel.cfg on disk, kept whole and never lost (see SafeFile): a file that
// load() found damaged or could not read is kept as "tavel.cfg.bak" before the
// first save replaces it.
class SettingsStore
{
public:
    struct LoadResult
    {
        SavedState state = SavedState::defaults();
        // Empty when there was no file or it was sound; otherwise a
        // message that names the file and what was wrong with it.
        QString problem;
    };

    struct SaveResult
    {
        // Empty on success; otherwise a message with the file's path and
        // the system's reason. The old file is then still whole.
        QString problem;

        bool ok() const { return problem.isEmpty(); }
    };

    explicit SettingsStore(QString path);

    // tavel.cfg in the folder ConfigFolder chooses for this run: beside the
    // executable where that folder is writable, as it has always been.
    static QString defaultPath();

    QString path() const { return m_file.path(); }
    QString backupPath() const { return m_file.backupPath(); }

    LoadResult load();
    SaveResult save(const SavedState &state);

private:
    SafeFile m_file;
};
