#pragma once

#include "arrivaltimes.h"
#include "trafficsnapshot.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <memory>
#include <span>
#include <vector>

// The bytes of one direction of traffic, exactly as they came, one byte per
// 8-bit character, together with an index of where lines start.
//
// Bytes live in fixed blocks that are never moved or copied as the log grows,
// so an append costs in proportion to its own length, however much is held.
// CR LF, a lone LF and a lone CR each end a line, also when the CR is the last
// byte of one append and the LF the first of the next.
//
// The line index stores, per block, the 16-bit offsets of the line starts that
// fall into it: two bytes per line, nothing per byte.
//
// Offsets are byte positions from 0 to size(); lines are numbered from 0. An
// empty log, and one whose last byte ends a line, has an empty last line.
//
// Every append also records when it arrived (see ArrivalTimes), a few bytes
// per append whatever its length.
class TrafficLog : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 kBlockSize = TrafficSnapshot::kBlockSize;

    explicit TrafficLog(QObject *parent = nullptr);
    ~TrafficLog() override;

    // The bytes arrived now, or at msecs (since 1970-01-01 00:00 UTC).
    void append(QByteArrayView bytes);
    void append(QByteArrayView bytes, qint64 msecs);
    void clear();

    qint64 size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    unsigned char byteAt(qint64 offset) const
    {
        Q_ASSERT(offset >= 0 && offset < m_size);
        return static_cast<unsigned char>(
            m_blocks[size_t(offset / kBlockSize)].data[size_t(offset % kBlockSize)]);
    }
    QByteArray bytes(qint64 from, qint64 count) const;
    // The bytes from offset up to the end of its block or of the log: walking a
    // range piece by piece needs no copy.
    QByteArrayView contiguousAt(qint64 offset) const;
    // When the append that brought the byte at offset arrived (0 <= offset < size()).
    qint64 arrivalMsecs(qint64 offset) const { return m_arrivals.msecsAt(offset); }
    // The bytes and times as they stand, for a reader in another thread.
    TrafficSnapshot snapshot() const;

    qint64 lineCount() const { return m_startCount + 1; }
    qint64 lineStart(qint64 line) const;
    // Where the line's characters end, before its CR, LF or CR LF.
    qint64 lineEnd(qint64 line) const;
    qint64 lineOf(qint64 offset) const;
    // The same for a complete line given by its start and the next line's start.
    qint64 lineEndBefore(qint64 start, qint64 nextStart) const;
    // Writes the starts of the lines from firstLine on into out, as many as fit
    // and exist; returns how many. Walks the index in order, for scans of many lines.
    qsizetype lineStarts(qint64 firstLine, std::span<qint64> out) const;

Q_SIGNALS:
    void appended(qint64 from, qint64 count);
    // Before the bytes go, so that a view can still tell what it loses.
    void aboutToClear();
    void cleared();

private:
    struct Block
    {
        // Shared with snapshots, which may outlive a clear() or the log.
        std::shared_ptr<char[]> data;
        std::vector<quint16> starts;
        qint64 startsBefore = 0;
    };

    Block &blockFor(qint64 offset);
    void addLineStart(qint64 offset);
    void dropLastLineStart();
    void indexLines(qint64 from, qint64 count);
    qsizetype blockOfStart(qint64 startIndex) const;

    std::vector<Block> m_blocks;
    ArrivalTimes m_arrivals;
    qint64 m_size = 0;
    qint64 m_startCount = 0;
};
