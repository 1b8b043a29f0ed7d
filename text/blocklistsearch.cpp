#include "blocklistsearch.h"

#include <algorithm>

BlockListSearch::BlockListSearch(BytePattern pattern, qint64 blockSize)
    : m_search(std::move(pattern))
    , m_blockSize(blockSize)
{
    Q_ASSERT(blockSize > 0);
}

QByteArrayView BlockListSearch::blockAt(
    const ContiguousAt &bytes, qint64 size, qint64 blockStart) const
{
    const qint64 length = std::min(m_blockSize, size - blockStart);
    return bytes(blockStart).first(length);
}

// The bytes from boundary - (size - 1) to boundary + (size - 1), as far as
// they exist. A pattern longer than a block has seams over several blocks.
QByteArrayView BlockListSearch::seamAt(
    const ContiguousAt &bytes, qint64 size, qint64 boundary, Seam &seam) const
{
    const qint64 reach = m_search.pattern().size() - 1;
    qint64 at = std::max<qint64>(0, boundary - reach);
    const qint64 end = std::min(size, boundary + reach);
    seam.clear();
    while (at < end) {
        const QByteArrayView piece = bytes(at);
        Q_ASSERT(!piece.isEmpty());
        const qint64 length = std::min<qint64>(piece.size(), end - at);
        seam.append(piece.data(), length);
        at += length;
    }
    return QByteArrayView(seam.constData(), seam.size());
}

qint64 BlockListSearch::find(const ContiguousAt &bytes, qint64 size, qint64 from) const
{
    const qint64 patternSize = m_search.pattern().size();
    from = std::max<qint64>(from, 0);
    if (patternSize == 0)
        return -1;
    Seam seam;
    for (qint64 blockStart = from - from % m_blockSize; blockStart <= size - patternSize;
         blockStart += m_blockSize) {
        const qint64 inBlock = m_search.find(
            blockAt(bytes, size, blockStart), std::max<qint64>(from - blockStart, 0));
        if (inBlock >= 0)
            return blockStart + inBlock;
        // Every match in this block starts before those that run into the next.
        const qint64 boundary = blockStart + m_blockSize;
        if (boundary >= size)
            break;
        const qint64 seamStart = std::max<qint64>(0, boundary - (patternSize - 1));
        const qint64 inSeam = m_search.find(
            seamAt(bytes, size, boundary, seam), std::max<qint64>(from - seamStart, 0));
        if (inSeam >= 0)
            return seamStart + inSeam;
    }
    return -1;
}

qint64 BlockListSearch::findLast(const ContiguousAt &bytes, qint64 size, qint64 before) const
{
    const qint64 patternSize = m_search.pattern().size();
    before = std::min(before, size - patternSize + 1);
    if (patternSize == 0 || before <= 0)
        return -1;
    Seam seam;
    for (qint64 blockStart = (before - 1) - (before - 1) % m_blockSize; blockStart >= 0;
         blockStart -= m_blockSize) {
        // Matches running into the next block start after those inside this one.
        const qint64 boundary = blockStart + m_blockSize;
        const qint64 seamStart = std::max<qint64>(0, boundary - (patternSize - 1));
        if (boundary < size && seamStart < before) {
            const qint64 inSeam
                = m_search.findLast(seamAt(bytes, size, boundary, seam), before - seamStart);
            if (inSeam >= 0)
                return seamStart + inSeam;
        }
        const qint64 inBlock
            = m_search.findLast(blockAt(bytes, size, blockStart), before - blockStart);
        if (inBlock >= 0)
            return blockStart + inBlock;
    }
    return -1;
}
