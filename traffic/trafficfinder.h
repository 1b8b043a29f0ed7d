#pragma once

#include "text/bytepattern.h"

#include <QObject>
#include <memory>
#include <optional>
#include <vector>

class TrafficLog;
class TrafficSearch;

// The matches of one pattern in a traffic log, kept up to date as the log
// grows: what the log held when the pattern was set is scanned in a thread of
// its own (TrafficSearch), and then each stretch that arrived meanwhile, so
// that a match across the seam of two reads is found as well; a short
// stretch is searched at once. A cleared log
// ends the search and forgets its matches.
//
// The matches are kept as the offsets of their first bytes, in order: eight
// bytes a match, and going to the next or the previous one is a binary search.
class TrafficFinder : public QObject
{
    Q_OBJECT

public:
    explicit TrafficFinder(TrafficLog &log, QObject *parent = nullptr);
    ~TrafficFinder() override;

    // Starts over with this pattern; an empty one (no pattern) stops.
    void setPattern(const std::optional<BytePattern> &pattern);
    bool hasPattern() const { return m_pattern.has_value(); }
    qint64 length() const { return m_pattern ? m_pattern->size() : 0; }

    // Whether part of the log is still being scanned.
    bool isScanning() const { return m_search != nullptr; }
    // Whether the scan stopped at TrafficSearch::kMaxHits.
    bool isFull() const { return m_full; }
    const std::vector<qint64> &hits() const { return m_hits; }
    // The index of the first match that starts at or after offset, or of the
    // last one that starts before it; nothing when there is none (yet).
    std::optional<qsizetype> firstFrom(qint64 offset) const;
    std::optional<qsizetype> lastBefore(qint64 offset) const;

Q_SIGNALS:
    // More matches were found, the scan ended, or the matches were dropped.
    void changed();

private:
    qint64 rescanFrom() const;
    void scanInline();
    void startScan();
    void stopScan();
    void onFound(const std::vector<qint64> &starts);
    void onFinished(bool full);

    TrafficLog &m_log;
    std::optional<BytePattern> m_pattern;
    std::vector<qint64> m_hits;
    std::unique_ptr<TrafficSearch> m_search;
    // Everything before this offset has been scanned.
    qint64 m_scanned = 0;
    bool m_full = false;
    std::size_t m_hitsAtTrim = 0;
};
