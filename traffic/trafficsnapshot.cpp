#include "trafficsnapshot.h"

#include <algorithm>

TrafficSnapshot::TrafficSnapshot(
    std::vector<std::shared_ptr<const char[]>> blocks, qint64 size, ArrivalTimes::Chunks arrivals)
    : m_blocks(std::move(blocks))
    , m_size(size)
    , m_arrivals(std::move(arrivals))
{
}

QByteArrayView TrafficSnapshot::contiguousAt(qint64 offset) const
{
    if (offset < 0 || offset >= m_size)
        return {};
    const qint64 inBlock = offset % kBlockSize;
    const qint64 count = std::min(kBlockSize - inBlock, m_size - offset);
    return QByteArrayView(m_blocks[size_t(offset / kBlockSize)].get() + inBlock, count);
}

const ArrivalTimes::Chunk *TrafficSnapshot::arrivalsAt(qint64 offset) const
{
    const auto k = size_t(offset / kBlockSize);
    if (offset < 0 || offset >= m_size || k >= m_arrivals.size())
        return nullptr;
    return m_arrivals[k].get();
}
