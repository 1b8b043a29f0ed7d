#include "trafficnavigation.h"

#include "trafficlog.h"

#include <algorithm>

namespace {

// A word of a billion letters is not selected whole by a double-click; the scan
// stops here so the click stays instant.
constexpr qint64 kWordScanLimit = 1 << 16;

bool isHex(const TrafficLayout &layout)
{
    return layout.rendering().kind() == TrafficRendering::Kind::Hex;
}

} // namespace

qint64 TrafficNavigation::next(qint64 position) const
{
    const TrafficLog *log = m_layout.log();
    if (!log)
        return 0;
    if (isHex(m_layout))
        return std::min(position + 1, m_layout.length());
    const qint64 line = log->lineOf(position);
    if (position < log->lineEnd(line))
        return position + 1;
    return line + 1 < log->lineCount() ? log->lineStart(line + 1) : log->size();
}

qint64 TrafficNavigation::previous(qint64 position) const
{
    const TrafficLog *log = m_layout.log();
    if (!log)
        return 0;
    if (isHex(m_layout))
        return std::max<qint64>(position - 1, 0);
    const qint64 line = log->lineOf(position);
    const qint64 end = log->lineEnd(line);
    if (position > end)
        return end;
    if (position > log->lineStart(line))
        return position - 1;
    return line > 0 ? log->lineEnd(line - 1) : 0;
}

qint64 TrafficNavigation::rowStart(qint64 position) const
{
    return m_layout.rowSpan(m_layout.cellOf(position).row).from;
}

qint64 TrafficNavigation::rowEnd(qint64 position) const
{
    return m_layout.rowSpan(m_layout.cellOf(position).row).to;
}

qint64 TrafficNavigation::moveRows(qint64 position, qint64 rows, qint64 column) const
{
    const qint64 row = m_layout.cellOf(position).row + rows;
    return m_layout.positionAt(std::clamp<qint64>(row, 0, m_layout.rowCount() - 1), column);
}

TrafficLayout::Span TrafficNavigation::wordAt(qint64 position) const
{
    const TrafficLog *log = m_layout.log();
    if (!log || log->isEmpty())
        return {};
    if (isHex(m_layout)) {
        const qint64 byte = std::clamp<qint64>(position / 3, 0, log->size() - 1);
        return { byte * 3, byte * 3 + 3 };
    }
    const qint64 line = log->lineOf(position);
    const qint64 start = log->lineStart(line);
    const qint64 end = log->lineEnd(line);
    if (start == end)
        return { start, start };
    const qint64 at = std::min(position, end - 1);
    if (!isWordByte(at))
        return { at, at + 1 };
    qint64 from = at;
    while (from > start && at - from < kWordScanLimit && isWordByte(from - 1))
        --from;
    qint64 to = at + 1;
    while (to < end && to - at < kWordScanLimit && isWordByte(to))
        ++to;
    return { from, to };
}

bool TrafficNavigation::isWordByte(qint64 offset) const
{
    const unsigned char byte = m_layout.log()->byteAt(offset);
    return byte == '_' || m_layout.rendering().character(byte).isLetterOrNumber();
}
