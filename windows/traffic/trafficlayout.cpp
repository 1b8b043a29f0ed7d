#include "trafficlayout.h"

#include "trafficlog.h"

#include <algorithm>
#include <array>

void TrafficLayout::setLog(const TrafficLog *log, TrafficRendering rendering)
{
    m_log = log;
    m_rendering = rendering;
    rebuild();
}

void TrafficLayout::setColumns(int columns)
{
    columns = std::max(columns, 1);
    if (columns == m_columns)
        return;
    m_columns = columns;
    rebuild();
}

void TrafficLayout::rebuild()
{
    m_longLines.clear();
    m_longLines.shrink_to_fit();
    m_indexedLines = 0;
    sync();
}

void TrafficLayout::sync()
{
    if (!m_log || m_rendering.kind() == TrafficRendering::Kind::Hex)
        return;
    const qint64 last = m_log->lineCount() - 1;
    if (last > m_indexedLines)
        indexLines(m_indexedLines, last);
    m_indexedLines = last;
}

qint64 TrafficLayout::length() const
{
    return m_log ? m_rendering.length(*m_log) : 0;
}

qint64 TrafficLayout::rowCount() const
{
    if (!m_log)
        return 1;
    if (m_rendering.kind() == TrafficRendering::Kind::Hex) {
        const qint64 g = groupsPerRow();
        return std::max<qint64>(1, (m_log->size() + g - 1) / g);
    }
    return firstRowOf(lastLine()) + rowsOf(lastLine());
}

TrafficLayout::Span TrafficLayout::rowSpan(qint64 row) const
{
    if (!m_log)
        return {};
    row = std::clamp<qint64>(row, 0, rowCount() - 1);
    if (m_rendering.kind() == TrafficRendering::Kind::Hex) {
        const qint64 g = groupsPerRow();
        return { row * g * 3, std::min(m_log->size(), (row + 1) * g) * 3 };
    }
    const LineRow at = lineRowOf(row);
    const qint64 from = m_log->lineStart(at.line) + at.rowInLine * m_columns;
    return { from, std::min(m_log->lineEnd(at.line), from + m_columns) };
}

qint64 TrafficLayout::rowEnd(qint64 row) const
{
    return row + 1 < rowCount() ? rowSpan(row + 1).from : length();
}

TrafficLayout::Cell TrafficLayout::cellOf(qint64 position) const
{
    if (!m_log)
        return {};
    position = std::clamp<qint64>(position, 0, length());
    if (m_rendering.kind() == TrafficRendering::Kind::Hex) {
        const qint64 g = groupsPerRow();
        const qint64 size = m_log->size();
        if (position == length() && size > 0 && size % g == 0)
            return { size / g - 1, g * 3 };
        const qint64 byte = position / 3;
        return { byte / g, (byte % g) * 3 + position % 3 };
    }
    const qint64 line = m_log->lineOf(position);
    const qint64 start = m_log->lineStart(line);
    const qint64 end = m_log->lineEnd(line);
    const qint64 offset = std::min(position, end) - start;
    qint64 rowInLine = offset / m_columns;
    qint64 column = offset % m_columns;
    if (rowInLine > 0 && column == 0 && start + offset == end) {
        --rowInLine;
        column = m_columns;
    }
    return { firstRowOf(line) + rowInLine, column };
}

qint64 TrafficLayout::positionAt(qint64 row, qint64 column) const
{
    const Span span = rowSpan(row);
    return span.from + std::clamp<qint64>(column, 0, span.to - span.from);
}

qint64 TrafficLayout::groupsPerRow() const
{
    // The space after the last group of a row may hang over the edge, as a word
    // wrap lets a line's last blank do.
    return std::max(1, (m_columns + 1) / 3);
}

qint64 TrafficLayout::extraThrough(qint64 index) const
{
    return index < 0 ? 0 : m_longLines[size_t(index)].extraThrough;
}

qint64 TrafficLayout::extraBefore(qint64 line) const
{
    const auto it = std::lower_bound(m_longLines.begin(), m_longLines.end(), line,
        [](const LongLine &entry, qint64 value) { return entry.line < value; });
    return extraThrough(qint64(it - m_longLines.begin()) - 1);
}

qint64 TrafficLayout::firstRowOf(qint64 line) const
{
    return line + extraBefore(line);
}

qint64 TrafficLayout::rowsOf(qint64 line) const
{
    if (line >= lastLine()) {
        const qint64 length = m_log->size() - m_log->lineStart(line);
        return std::max<qint64>(1, (length + m_columns - 1) / m_columns);
    }
    const auto it = std::lower_bound(m_longLines.begin(), m_longLines.end(), line,
        [](const LongLine &entry, qint64 value) { return entry.line < value; });
    if (it == m_longLines.end() || it->line != line)
        return 1;
    const qint64 index = it - m_longLines.begin();
    return extraThrough(index) - extraThrough(index - 1) + 1;
}

TrafficLayout::LineRow TrafficLayout::lineRowOf(qint64 row) const
{
    // The last long line that starts at or before the row.
    auto firstRowOfEntry = [this](qint64 index) {
        return m_longLines[size_t(index)].line + extraThrough(index - 1);
    };
    qint64 low = 0;
    qint64 high = qint64(m_longLines.size());
    while (low < high) {
        const qint64 mid = low + (high - low) / 2;
        if (firstRowOfEntry(mid) <= row)
            low = mid + 1;
        else
            high = mid;
    }
    const qint64 index = low - 1;
    LineRow at { row, 0 };
    if (index >= 0) {
        const qint64 entryRow = firstRowOfEntry(index);
        const qint64 entryRows = extraThrough(index) - extraThrough(index - 1) + 1;
        if (row < entryRow + entryRows)
            at = { m_longLines[size_t(index)].line, row - entryRow };
        else
            at = { row - extraThrough(index), 0 };
    }
    if (at.line >= lastLine())
        at = { lastLine(), row - firstRowOf(lastLine()) };
    return at;
}

void TrafficLayout::indexLines(qint64 first, qint64 last)
{
    std::array<qint64, 4096> starts;
    qint64 through = extraThrough(qint64(m_longLines.size()) - 1);
    qint64 line = first;
    while (line < last) {
        const qsizetype n = m_log->lineStarts(line, starts);
        qsizetype i = 0;
        for (; i + 1 < n && line + i < last; ++i) {
            const qint64 start = starts[size_t(i)];
            const qint64 next = starts[size_t(i) + 1];
            // A line ends in one or two terminator bytes; only lines that may
            // not fit need a look at which.
            if (next - start - 1 <= m_columns)
                continue;
            const qint64 length = m_log->lineEndBefore(start, next) - start;
            if (length <= m_columns)
                continue;
            through += (length - 1) / m_columns;
            m_longLines.push_back({ line + i, through });
        }
        line += i;
    }
}
