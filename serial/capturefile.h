#pragma once

#include <QByteArrayView>
#include <QString>

// A running capture: every received byte appended to a file as it arrives.
//
// Each append is written and synced to the disk (fdatasync) before it
// returns, so that a crash of the program or a power cut loses at most the
// read that was being written. A slow disk makes each append take longer,
// and the next read then brings more bytes: the cost follows the bytes and
// the number of reads, never what the program holds.
class CaptureFile
{
public:
    explicit CaptureFile(QString path);
    ~CaptureFile();
    CaptureFile(const CaptureFile &) = delete;
    CaptureFile &operator=(const CaptureFile &) = delete;

    // Creates the file, or empties one that is there.
    bool open();
    // False when the bytes could not all be written or synced; the file then
    // holds what was written before, and perhaps a part of these bytes.
    bool append(QByteArrayView bytes);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    qint64 written() const { return m_written; }
    // The system's reason for the last failure.
    QString reason() const { return m_reason; }

private:
    bool fail(int error);

    QString m_path;
    int m_fd = -1;
    qint64 m_written = 0;
    QString m_reason;
};
