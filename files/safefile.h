#pragma once

#include <QByteArray>
#include <QString>

// A file of the program's own that must never be left cut off and never be
// lost. Writing goes through a temporary file with checked writes and an
// fsync, renamed over the old one in one step, so a crash, a full disk or a
// power cut leaves either the old file or the new one. A file that its reader
// found damaged or could not read is kept as "<name>.bak" before the first
// write replaces it.
class SafeFile
{
public:
    explicit SafeFile(QString path);

    QString path() const { return m_path; }
    QString backupPath() const { return m_path + QStringLiteral(".bak"); }
    // The path as messages show it.
    QString displayPath() const;
    QString displayBackupPath() const;

    bool exists() const;
    // The whole file; false with its own or the system's reason when it
    // cannot be read. A pipe or a device in the file's place is refused
    // rather than read, which could block or never end.
    bool read(QByteArray &bytes, QString &reason) const;

    // What a store's load finds: no file, its bytes, or why they could not
    // be read. A file that cannot be read is kept at the next write; one
    // whose bytes turn out damaged the store marks with keepOldFileAtNextWrite.
    struct Loaded
    {
        bool exists = false;
        QByteArray bytes;
        QString unreadable;
    };
    Loaded load();

    // What is on disk now must survive the next write (as the backup).
    void keepOldFileAtNextWrite(bool keep) { m_keepOldFile = keep; }

    // Creates the folder when it is missing, keeps the old file aside when
    // asked to, then replaces the file. False with the reason; the old file
    // is then still whole.
    bool write(const QByteArray &bytes, QString &reason);

private:
    // moved: the old file left its place (rather than gaining a second name).
    bool moveOldFileAside(QString &reason, bool &moved) const;
    void putOldFileBack() const;

    QString m_path;
    bool m_keepOldFile = false;
};
