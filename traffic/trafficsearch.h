#pragma once

#include "text/blocklistsearch.h"
#include "trafficsnapshot.h"

#include <QObject>
#include <atomic>
#include <thread>
#include <vector>

// Finds every match of a pattern in a snapshot of a traffic log, from a given
// offset to the snapshot's end, in a thread of its own: the window goes on
// showing what arrives meanwhile. The matches come back in order, a batch at
// a time, so that the first are there long before a gigabyte is through.
//
// Overlapping matches all count ("AAA" is found twice in "AAAA"). At most
// kMaxHits are kept; the scan stops there.
class TrafficSearch : public QObject
{
    Q_OBJECT

public:
    // 8 bytes a hit: a quarter of a gigabyte at most.
    static constexpr qsizetype kMaxHits = 32 * 1024 * 1024;

    TrafficSearch(
        TrafficSnapshot snapshot, BytePattern pattern, qint64 from, QObject *parent = nullptr);
    // Cancels a scan still running and waits for its thread.
    ~TrafficSearch() override;

    void start();
    void cancel();
    bool isRunning() const { return m_running; }
    // The end of the bytes searched: the snapshot's size.
    qint64 end() const { return m_end; }

Q_SIGNALS:
    // In the thread that made the search: the next matches in order, by the
    // offset of their first byte.
    void found(const std::vector<qint64> &starts);
    // The scan is through (or stopped at kMaxHits: full is set).
    void finished(bool full);

private:
    void scan();

    TrafficSnapshot m_snapshot;
    BlockListSearch m_search;
    qint64 m_from;
    qint64 m_end;
    std::thread m_thread;
    std::atomic<bool> m_cancel = false;
    bool m_running = false;
};
