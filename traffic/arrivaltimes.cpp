#include "arrivaltimes.h"

#include <algorithm>

qint64 ArrivalTimes::Chunk::msecs(qsizetype i) const
{
    const quint32 offset = m_offsets[size_t(i)];
    if (offset != kAside)
        return m_base + offset;
    const auto found = std::lower_bound(m_aside.begin(), m_aside.end(), i,
        [](const std::pair<qsizetype, qint64> &entry, qsizetype index) {
            return entry.first < index;
        });
    return found->second;
}

qsizetype ArrivalTimes::Chunk::entryAt(qint64 inChunk) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), inChunk);
    return std::max<qsizetype>(qsizetype(after - m_starts.begin()) - 1, 0);
}

void ArrivalTimes::Chunk::add(quint16 start, qint64 msecs)
{
    if (m_starts.empty())
        m_base = msecs;
    const qint64 offset = msecs - m_base;
    m_starts.push_back(start);
    if (offset >= 0 && offset < kAside) {
        m_offsets.push_back(quint32(offset));
    } else {
        m_offsets.push_back(kAside);
        m_aside.emplace_back(qsizetype(m_starts.size()) - 1, msecs);
    }
}

void ArrivalTimes::record(qint64 offset, qint64 count, qint64 msecs)
{
    Q_ASSERT(offset == m_size);
    const qint64 end = offset + count;
    for (qint64 at = offset; at < end; at = (at / kChunkBytes + 1) * kChunkBytes) {
        const auto k = size_t(at / kChunkBytes);
        if (k == m_chunks.size()) {
            if (!m_chunks.empty()) {
                // Complete from now on and shared by snapshots: give back the slack.
                Chunk &last = *m_chunks.back();
                last.m_starts.shrink_to_fit();
                last.m_offsets.shrink_to_fit();
            }
            m_chunks.push_back(std::make_shared<Chunk>());
        }
        Chunk &chunk = *m_chunks[k];
        if (chunk.m_starts.empty() || chunk.msecs(chunk.count() - 1) != msecs)
            chunk.add(quint16(at % kChunkBytes), msecs);
    }
    m_size = std::max(m_size, end);
}

void ArrivalTimes::clear()
{
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    m_size = 0;
}

qint64 ArrivalTimes::msecsAt(qint64 offset) const
{
    Q_ASSERT(offset >= 0 && offset < m_size);
    const Chunk &chunk = *m_chunks[size_t(offset / kChunkBytes)];
    return chunk.msecs(chunk.entryAt(offset % kChunkBytes));
}

ArrivalTimes::Chunks ArrivalTimes::snapshot() const
{
    Chunks chunks(m_chunks.begin(), m_chunks.end());
    // The last chunk still takes entries; the reader gets them as they stand.
    if (!chunks.empty())
        chunks.back() = std::make_shared<const Chunk>(*m_chunks.back());
    return chunks;
}
