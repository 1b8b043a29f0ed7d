#pragma once

#include "config/savedstate.h"

#include <QString>

// tavel.cfg on disk. Saving goes through a temporary file renamed over the old
// one, so a crash, a full disk or a power cut never leaves a cut-off file. A
// file that load() found damaged or could not read is kept as "tavel.cfg.bak"
// before the first save replaces it, so nothing the user had is lost.
class SettingsStore
{
public:
    struct LoadResult
    {
        SavedState state = SavedState::defaults();
        // Empty when there was no file or it was sound; otherwise a German
        // message that names the file and what was wrong with it.
        QString problem;
    };

    struct SaveResult
    {
        // Empty on success; otherwise a German message with the file's path and
        // the system's reason. The old file is then still whole.
        QString problem;

        bool ok() const { return problem.isEmpty(); }
    };

    explicit SettingsStore(QString path);

    // tavel.cfg in the folder ConfigFolder chooses for this run: beside the
    // executable where that folder is writable, as it has always been.
    static QString defaultPath();

    QString path() const { return m_path; }
    QString backupPath() const { return m_path + QStringLiteral(".bak"); }

    LoadResult load();
    SaveResult save(const SavedState &state);

private:
    bool readWhole(QByteArray &bytes, QString &reason) const;
    // moved: the old file left its place (rather than gaining a second name).
    bool moveOldFileAside(QString &reason, bool &moved) const;
    void putOldFileBack() const;
    QString displayPath() const;

    QString m_path;
    // Set when the file on disk is damaged or unreadable and must not be lost.
    bool m_keepOldFile = false;
};
