#pragma once

#include "deviceassignment.h"
#include "files/safefile.h"

#include <QString>

// The device assignment on disk, in a small file of its own beside tavel.cfg:
// tavel.cfg's 30 lines are fixed and have no room for it. Saved as soon as the
// user confirms a choice, through the same careful save as tavel.cfg; a
// damaged file stays untouched until then and is kept as its .bak.
class DeviceAssignmentStore
{
public:
    // ASCII, so that every file system and shell takes it as it is; German,
    // as the program is, and beginning with "tavel" so that it sorts beside
    // tavel.cfg.
    static constexpr char kFileName[] = "tavel-geraete.cfg";

    struct LoadResult
    {
        DeviceAssignment assignment;
        // Empty when there was no file or it was sound; otherwise a
        // message that names the file and what is wrong with it.
        QString problem;
    };

    explicit DeviceAssignmentStore(QString path);
    // The file in the folder that holds the given tavel.cfg.
    static QString pathBeside(const QString &settingsPath);

    QString path() const { return m_file.path(); }
    QString backupPath() const { return m_file.backupPath(); }

    LoadResult load();
    // Empty on success; otherwise a message in the interface's language with the path and the
    // system's reason.
    QString save(const DeviceAssignment &assignment);

private:
    SafeFile m_file;
};
