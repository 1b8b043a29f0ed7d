#include "trafficlog.h"

#include <QDateTime>
#include <algorithm>
#include <cstring>

TrafficLog::TrafficLog(QObject *parent)
    : QObject(parent)
{
}

TrafficLog::~TrafficLog() = default;

void TrafficLog::append(QByteArrayView bytes)
{
    append(bytes, QDateTime::currentMSecsSinceEpoch());
}

void TrafficLog::append(QByteArrayView bytes, qint64 msecs)
{
    if (bytes.isEmpty())
        return;
    const qint64 from = m_size;
    qint64 done = 0;
    while (done < bytes.size()) {
        Block &block = blockFor(m_size);
        // Left uninitialised so that only the pages actually written become resident.
        if (!block.data)
            block.data = std::make_shared_for_overwrite<char[]>(kBlockSize);
        const qint64 inBlock = m_size % kBlockSize;
        const qint64 count = std::min(kBlockSize - inBlock, bytes.size() - done);
        std::memcpy(block.data.get() + inBlock, bytes.data() + done, size_t(count));
        m_size += count;
        indexLines(m_size - count, count);
        done += count;
    }
    m_arrivals.record(from, bytes.size(), msecs);
    Q_EMIT appended(from, bytes.size());
}

void TrafficLog::clear()
{
    Q_EMIT aboutToClear();
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_arrivals.clear();
    m_size = 0;
    m_startCount = 0;
    Q_EMIT cleared();
}

QByteArray TrafficLog::bytes(qint64 from, qint64 count) const
{
    from = std::clamp<qint64>(from, 0, m_size);
    count = std::clamp<qint64>(count, 0, m_size - from);
    QByteArray out(count, Qt::Uninitialized);
    qint64 done = 0;
    while (done < count) {
        const QByteArrayView piece = contiguousAt(from + done);
        const qint64 n = std::min<qint64>(piece.size(), count - done);
        std::memcpy(out.data() + done, piece.data(), size_t(n));
        done += n;
    }
    return out;
}

QByteArrayView TrafficLog::contiguousAt(qint64 offset) const
{
    if (offset < 0 || offset >= m_size)
        return {};
    const qint64 inBlock = offset % kBlockSize;
    const qint64 count = std::min(kBlockSize - inBlock, m_size - offset);
    return QByteArrayView(m_blocks[offset / kBlockSize].data.get() + inBlock, count);
}

TrafficSnapshot TrafficLog::snapshot() const
{
    std::vector<std::shared_ptr<const char[]>> blocks;
    blocks.reserve(m_blocks.size());
    for (const Block &block : m_blocks)
        blocks.push_back(block.data);
    return TrafficSnapshot(std::move(blocks), m_size, m_arrivals.snapshot());
}

qint64 TrafficLog::lineStart(qint64 line) const
{
    if (line <= 0)
        return 0;
    const qint64 index = std::min(line, m_startCount) - 1;
    const qsizetype k = blockOfStart(index);
    const Block &block = m_blocks[k];
    return k * kBlockSize + block.starts[index - block.startsBefore];
}

qint64 TrafficLog::lineEnd(qint64 line) const
{
    if (line >= lineCount() - 1)
        return m_size;
    return lineEndBefore(lineStart(line), lineStart(line + 1));
}

qint64 TrafficLog::lineOf(qint64 offset) const
{
    const qsizetype k = qsizetype(std::max<qint64>(offset, 0) / kBlockSize);
    if (k >= qsizetype(m_blocks.size()))
        return m_startCount;
    const Block &block = m_blocks[k];
    const auto inBlock = quint16(offset % kBlockSize);
    const auto after = std::upper_bound(block.starts.begin(), block.starts.end(), inBlock);
    return block.startsBefore + (after - block.starts.begin());
}

qint64 TrafficLog::lineEndBefore(qint64 start, qint64 nextStart) const
{
    const bool crlf
        = nextStart - 2 >= start && byteAt(nextStart - 1) == '\n' && byteAt(nextStart - 2) == '\r';
    return nextStart - (crlf ? 2 : 1);
}

qsizetype TrafficLog::lineStarts(qint64 firstLine, std::span<qint64> out) const
{
    qsizetype n = 0;
    if (out.empty() || firstLine < 0 || firstLine >= lineCount())
        return 0;
    if (firstLine == 0)
        out[n++] = 0;
    qint64 index = std::max<qint64>(firstLine - 1, 0);
    if (index >= m_startCount)
        return n;
    qsizetype k = blockOfStart(index);
    size_t i = size_t(index - m_blocks[k].startsBefore);
    for (; k < qsizetype(m_blocks.size()) && n < qsizetype(out.size()); ++k, i = 0) {
        const Block &block = m_blocks[k];
        const qint64 base = k * kBlockSize;
        for (; i < block.starts.size() && n < qsizetype(out.size()); ++i)
            out[n++] = base + block.starts[i];
    }
    return n;
}

TrafficLog::Block &TrafficLog::blockFor(qint64 offset)
{
    const auto k = size_t(offset / kBlockSize);
    while (m_blocks.size() <= k) {
        Block next;
        if (!m_blocks.empty()) {
            Block &last = m_blocks.back();
            // A block is complete once the next one exists: give back the slack
            // its line index gathered while growing.
            last.starts.shrink_to_fit();
            next.startsBefore = last.startsBefore + qint64(last.starts.size());
        }
        m_blocks.push_back(std::move(next));
    }
    return m_blocks[k];
}

void TrafficLog::addLineStart(qint64 offset)
{
    blockFor(offset).starts.push_back(quint16(offset % kBlockSize));
    ++m_startCount;
}

void TrafficLog::dropLastLineStart()
{
    // Only ever the start just recorded after a CR at the end of the log, which
    // lies in the last block.
    Q_ASSERT(!m_blocks.empty() && !m_blocks.back().starts.empty());
    m_blocks.back().starts.pop_back();
    --m_startCount;
}

void TrafficLog::indexLines(qint64 from, qint64 count)
{
    // The range lies within one block; its data pointer stays valid even when
    // recording a start adds a block.
    const char *data = m_blocks[from / kBlockSize].data.get() + from % kBlockSize;
    for (qint64 i = 0; i < count; ++i) {
        const char c = data[i];
        if (static_cast<unsigned char>(c) > '\r')
            continue;
        if (c == '\n') {
            const bool afterCr
                = i > 0 ? data[i - 1] == '\r' : (from > 0 && byteAt(from - 1) == '\r');
            if (afterCr)
                dropLastLineStart();
            addLineStart(from + i + 1);
        } else if (c == '\r') {
            addLineStart(from + i + 1);
        }
    }
}

qsizetype TrafficLog::blockOfStart(qint64 startIndex) const
{
    // Blocks without a line start share startsBefore with the block that holds
    // the next start; the last block not beyond the index is the one holding it.
    const auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), startIndex,
        [](qint64 index, const Block &block) { return index < block.startsBefore; });
    return qsizetype(after - m_blocks.begin()) - 1;
}
