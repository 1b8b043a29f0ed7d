#pragma once

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
class TrafficLog : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 kBlockSize = 64 * 1024;

    explicit TrafficLog(QObject *parent = nullptr);
    ~TrafficLog() override;

    void append(QByteArrayView bytes);
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
        std::unique_ptr<char[]> data;
        std::vector<quint16> starts;
        qint64 startsBefore = 0;
    };

    Block &blockFor(qint64 offset);
    void addLineStart(qint64 offset);
    void dropLastLineStart();
    void indexLines(qint64 from, qint64 count);
    qsizetype blockOfStart(qint64 startIndex) const;

    std::vector<Block> m_blocks;
    qint64 m_size = 0;
    qint64 m_startCount = 0;
};
