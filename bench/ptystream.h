#pragma once

#include "streamshape.h"

#include <QString>
#include <atomic>
#include <thread>

class TrafficLog;

// A device that sends a shape's bytes into a pseudo-terminal as fast as the
// other end takes them, from a thread of its own. A pty holds only a few
// kilobytes, so the writer blocks whenever the reader lags: the rate at which
// the bytes arrive is the rate at which the reading program takes them.
//
// Given a pace, it sends at that rate instead, in a fixed number of writes a
// second, as a serial line delivers: each write brings the total up to what
// the line would have carried by then, so the rate holds to the byte over a
// run however the writes are split.
//
// The program under test opens slavePath() as it would open a serial port.
// Both ends are raw, and the slave stays open here as well, so that the
// master never sees a hang-up between two openings by the reader.
class PtyStream
{
public:
    PtyStream();
    ~PtyStream();
    PtyStream(const PtyStream &) = delete;
    PtyStream &operator=(const PtyStream &) = delete;

    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

    // From the next start() on, sends bytesPerSecond in writesPerSecond
    // writes; 0 sends as fast as the reader takes.
    void setPace(double bytesPerSecond, int writesPerSecond = 100);
    // Starts writing count bytes of the shape from offset from on; returns at once.
    void start(const StreamShape &shape, qint64 from, qint64 count);
    // Waits for the writer to finish or give up.
    void finish();
    // Ends the writing now.
    void stop();
    // The device's end, for a second thread that reads what the program sends
    // or writes between the stream's writes (each write() to a pty goes in
    // whole).
    int masterFd() const { return m_master; }
    // Bytes written on the current run so far.
    qint64 written() const { return m_written.load(std::memory_order_relaxed); }
    bool failed() const { return m_failed.load(); }
    // CPU seconds the writing thread used on its last run.
    double writerCpuSeconds() const { return m_cpuSeconds; }
    // Paced runs: the most bytes the writer was ever behind its pace, that
    // is, the most the reader let wait in the pty beyond one write.
    qint64 maxBacklog() const { return m_maxBacklog; }

private:
    void write(const StreamShape &shape, qint64 from, qint64 count);
    void writePaced(const StreamShape &shape, qint64 from, qint64 count);
    // Writes what the pty takes of the count bytes at from; false on an error.
    bool writeSome(const StreamShape &shape, qint64 from, qint64 count, qint64 *done);

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
    std::thread m_writer;
    std::atomic<qint64> m_written = 0;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_failed = false;
    double m_cpuSeconds = 0;
    double m_bytesPerSecond = 0;
    int m_writesPerSecond = 100;
    qint64 m_maxBacklog = 0;
};

// Whether the log holds the first total bytes of the shape and nothing else:
// every byte sent arrived once, in order, unchanged.
bool logHoldsTheStream(const TrafficLog &log, const StreamShape &shape, qint64 total);
