#pragma once

#include "blocksearch.h"

#include <QByteArrayView>
#include <QVarLengthArray>
#include <functional>

// Finding a pattern in bytes kept in blocks of one size, as the traffic log
// and its snapshots keep them, matches across block boundaries included.
//
// Each block is searched in place with BlockSearch. A match that runs from
// one block into the next is looked for in a seam: a copy of the last
// size - 1 bytes before the boundary and the first size - 1 after it. The
// seam holds every match that crosses that boundary and no other, so a
// search costs one small copy per block and never copies a block.
//
// The received-data window's search, for instance:
//
//     const BlockListSearch search(pattern, TrafficLog::kBlockSize);
//     const auto bytes = [&](qint64 offset) { return log.contiguousAt(offset); };
//     next = search.find(bytes, log.size(), current + 1);
//     previous = search.findLast(bytes, log.size(), current);
//
// and the same over a TrafficSnapshot in a thread of its own, so that a long
// search leaves the window free while the log grows.
class BlockListSearch
{
public:
    // The bytes from offset to the end of its block (or of all the bytes), as
    // TrafficLog::contiguousAt and TrafficSnapshot::contiguousAt give them.
    using ContiguousAt = std::function<QByteArrayView(qint64 offset)>;

    BlockListSearch(BytePattern pattern, qint64 blockSize);

    const BytePattern &pattern() const { return m_search.pattern(); }

    // The start of the first match in the `size` bytes that starts at or
    // after from; -1 when there is none.
    qint64 find(const ContiguousAt &bytes, qint64 size, qint64 from) const;
    // The start of the last match that starts before `before`; -1 when there is none.
    qint64 findLast(const ContiguousAt &bytes, qint64 size, qint64 before) const;

private:
    // A seam of a pattern up to 128 positions long takes no allocation.
    using Seam = QVarLengthArray<char, 256>;

    QByteArrayView blockAt(const ContiguousAt &bytes, qint64 size, qint64 blockStart) const;
    QByteArrayView seamAt(
        const ContiguousAt &bytes, qint64 size, qint64 boundary, Seam &seam) const;

    BlockSearch m_search;
    qint64 m_blockSize;
};
