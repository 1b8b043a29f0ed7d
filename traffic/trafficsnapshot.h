#pragma once

#include "arrivaltimes.h"

#include <QByteArrayView>
#include <memory>
#include <vector>

// A traffic log's bytes and arrival times up to the moment it was taken,
// for reading in another thread while the log goes on growing, or is cleared
// or deleted. It shares the log's blocks rather than copying them: a block's
// bytes never change once written, and appends only write beyond the end
// that the snapshot knows.
class TrafficSnapshot
{
public:
    static constexpr qint64 kBlockSize = ArrivalTimes::kChunkBytes;

    TrafficSnapshot() = default;
    TrafficSnapshot(std::vector<std::shared_ptr<const char[]>> blocks, qint64 size,
        ArrivalTimes::Chunks arrivals);

    qint64 size() const { return m_size; }
    // The bytes from offset to the end of its block or of the snapshot.
    QByteArrayView contiguousAt(qint64 offset) const;
    // The arrival times of the block that holds offset; nullptr when empty.
    const ArrivalTimes::Chunk *arrivalsAt(qint64 offset) const;

private:
    std::vector<std::shared_ptr<const char[]>> m_blocks;
    qint64 m_size = 0;
    ArrivalTimes::Chunks m_arrivals;
};
