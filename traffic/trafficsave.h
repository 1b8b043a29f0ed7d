#pragma once

#include "trafficexport.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <thread>

// Writes a snapshot of a traffic log to a file in a thread of its own, so
// that data keep arriving and showing meanwhile. The file is replaced whole
// or not at all (AtomicFileWriter): a failure or cancel() leaves an old file
// of that name as it was.
//
// The snapshot shares the log's blocks, so the log may grow, be cleared or go
// away with its window while the file is written.
class TrafficSave : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Running, Saved, Failed, Cancelled };

    TrafficSave(TrafficSnapshot snapshot, TrafficExport::Format format, QString path,
        QObject *parent = nullptr);
    // Cancels a save still running and waits for its thread.
    ~TrafficSave() override;

    void start();
    // Asks the thread to stop; finished() follows with Cancelled unless the
    // file was already in place.
    void cancel();
    // Blocks until the thread has ended; finished() is still to come.
    void wait();

    bool isRunning() const { return m_outcome == Outcome::Running; }
    QString path() const { return m_path; }
    qint64 done() const { return m_done.load(std::memory_order_relaxed); }
    qint64 total() const { return m_total; }
    int percent() const { return m_total > 0 ? int(done() * 100 / m_total) : 100; }
    Outcome outcome() const { return m_outcome; }
    // The system's reason when the outcome is Failed.
    QString reason() const { return m_reason; }

Q_SIGNALS:
    // In the thread that made the save, once the file is written or given up.
    void finished();

private:
    void write(TrafficExport &out);
    void end(Outcome outcome, const QString &reason = {});

    TrafficSnapshot m_snapshot;
    TrafficExport::Format m_format;
    QString m_path;
    qint64 m_total = 0;
    std::thread m_thread;
    std::atomic<bool> m_cancel = false;
    std::atomic<qint64> m_done = 0;
    Outcome m_outcome = Outcome::Running;
    QString m_reason;
};
