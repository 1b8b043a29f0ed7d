#pragma once

#include <QByteArrayView>
#include <QString>
#include <memory>

class QSaveFile;

// Writes a file so that it is replaced whole or not at all: the bytes go to a
// temporary file in the target's folder, every write is checked, the data are
// synced to the disk and only then is the temporary file renamed over the
// target. A crash, a full disk or a power cut leaves the old file as it was;
// a writer given up or destroyed before commit() removes its temporary file.
//
// Each failing call leaves its reason, worded by SystemError, in reason().
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString &path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    bool open();
    bool write(QByteArrayView bytes);
    // Syncs and renames into place. A writer destroyed without it gives the
    // file up: its temporary file goes, the target stays untouched.
    bool commit();

    QString reason() const { return m_reason; }

private:
    std::unique_ptr<QSaveFile> m_file;
    QString m_reason;
};
