#pragma once

#include <QtGlobal>
#include <memory>
#include <vector>

// When each read of a traffic log arrived: one entry per read, not per byte,
// so that the record grows with the number of reads.
//
// Entries are kept in chunks of the log's block size. Each entry holds where
// its read starts within the chunk (16 bits) and its time as milliseconds
// after the chunk's first entry (32 bits): six bytes per read. A read that
// runs into the next chunk starts it with an entry of the same time, so every
// chunk begins with an entry and a byte's time is found within its own chunk.
// Reads in the same millisecond as the one before add nothing: their bytes
// share its time anyway.
//
// A chunk is never changed once the next one exists, so a snapshot shares the
// complete chunks and copies only the last one.
class ArrivalTimes
{
public:
    static constexpr qint64 kChunkBytes = 64 * 1024;

    class Chunk
    {
    public:
        qsizetype count() const { return qsizetype(m_starts.size()); }
        // Where entry i's bytes start, counted from the chunk's first byte.
        qint64 start(qsizetype i) const { return m_starts[size_t(i)]; }
        // Milliseconds since 1970-01-01 00:00 UTC.
        qint64 msecs(qsizetype i) const;
        // The entry that holds the byte at this offset within the chunk.
        qsizetype entryAt(qint64 inChunk) const;

    private:
        friend class ArrivalTimes;
        // A time too far from the chunk's first one for 32 bits (a clock set
        // back, or a chunk that took weeks to fill) is kept aside.
        static constexpr quint32 kAside = 0xFFFFFFFF;

        void add(quint16 start, qint64 msecs);

        qint64 m_base = 0;
        std::vector<quint16> m_starts;
        std::vector<quint32> m_offsets;
        std::vector<std::pair<qsizetype, qint64>> m_aside;
    };

    using Chunks = std::vector<std::shared_ptr<const Chunk>>;

    // The bytes [offset, offset + count) arrived at msecs; offset is where the
    // previous record ended.
    void record(qint64 offset, qint64 count, qint64 msecs);
    void clear();

    qint64 size() const { return m_size; }
    // When the byte at offset arrived, for 0 <= offset < size().
    qint64 msecsAt(qint64 offset) const;
    // The chunks as they stand: the complete ones shared, the last one copied.
    Chunks snapshot() const;

private:
    std::vector<std::shared_ptr<Chunk>> m_chunks;
    qint64 m_size = 0;
};
