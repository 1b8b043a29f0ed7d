#pragma once

#include <QObject>
#include <atomic>
#include <thread>

// Follows the far end's lines of an open device without costing anything
// while they stay as they are: a thread of its own sleeps in the driver
// (TIOCMIWAIT) until CTS, DSR, DCD or RI changes, reads the lines and hands
// them to the object's thread. A driver that cannot wait is asked ten times a
// second instead. Stopping wakes the thread with a signal.
class ModemLineWatch : public QObject
{
    Q_OBJECT

public:
    explicit ModemLineWatch(QObject *parent = nullptr);
    ~ModemLineWatch() override;

    // fd stays open until stop() has returned.
    void start(int fd);
    void stop();
    bool isRunning() const { return m_thread.joinable(); }

Q_SIGNALS:
    // All lines (LineBits), each time the far ones have changed; the first
    // at once on start.
    void linesChanged(int bits);
    // The driver stopped answering (errno); the watch has ended.
    void failed(int error);

private:
    void run(int fd, int generation);

    // What the thread of an earlier start posted and has not been delivered
    // yet is dropped: it speaks of a device that is closed now.
    int m_generation = 0;
    std::thread m_thread;
    std::atomic<bool> m_stopping { false };
    std::atomic<bool> m_finished { false };
};
