#pragma once

#include <QByteArrayView>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A running capture: every received byte appended to a file as it arrives.
//
// Each append is written to the file before it returns, so a crash of the
// program loses nothing it has read. A thread of the file's own syncs it to
// the disk (fdatasync) again and again while there is anything new, so a
// power cut loses only what was written since the last completed sync began.
// The sync is kept out of the reading thread on purpose: a disk that stalls
// for a moment must not stop the program from draining the port, whose few
// kilobytes of buffer a fast line fills in milliseconds.
class CaptureFile
{
public:
    explicit CaptureFile(QString path);
    ~CaptureFile();
    CaptureFile(const CaptureFile &) = delete;
    CaptureFile &operator=(const CaptureFile &) = delete;

    // Creates the file, or empties one that is there.
    bool open();
    // False when the bytes could not all be written, or an earlier sync
    // failed; the file then holds what was written before, and perhaps a
    // part of these bytes.
    bool append(QByteArrayView bytes);
    // Syncs what is left and closes the file.
    void close();

    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    qint64 written() const { return m_written; }
    // How much of it is known to be on the disk.
    qint64 synced() const { return m_synced.load(); }
    // The system's reason for the last failure.
    QString reason() const { return m_reason; }

private:
    bool fail(int error);
    void syncWhileWritten();

    QString m_path;
    int m_fd = -1;
    qint64 m_written = 0;
    QString m_reason;

    std::thread m_syncer;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    // Guarded by m_mutex: how much the syncer is to cover, and whether to end.
    qint64 m_toSync = 0;
    bool m_closing = false;
    std::atomic<qint64> m_synced = 0;
    std::atomic<int> m_syncError = 0;
};
