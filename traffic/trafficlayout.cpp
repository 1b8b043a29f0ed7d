#include "trafficlayout.h"

#include "trafficlog.h"

#include <algorithm>
#include <array>

void TrafficLayout::setLog(const TrafficLog *log, TrafficRendering rendering)
{
    // How byte 0 reads does not move any row.
    if (log == m_log && rendering.kind() == m_rendering.kind()) {
        m_rendering = rendering;
        sync();
        return;
    }
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
    m_extra.clear();
    m_extra.shrink_to_fit();
    m_groupExtra.clear();
    m_groupExtra.shrink_to_fit();
    m_largeExtra.clear();
    m_extraTotal = 0;
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

qint64 TrafficLayout::extraOf(qint64 line) const
{
    const quint8 extra = m_extra[size_t(line)];
    return extra == kLargeExtra ? m_largeExtra.at(line) : extra;
}

qint64 TrafficLayout::firstRowOf(qint64 line) const
{
    if (line >= lastLine())
        return line + m_extraTotal;
    const qint64 group = line / kGroupLines;
    qint64 extra = m_groupExtra[size_t(group)];
    for (qint64 i = group * kGroupLines; i < line; ++i)
        extra += extraOf(i);
    return line + extra;
}

qint64 TrafficLayout::rowsOf(qint64 line) const
{
    if (line < lastLine())
        return extraOf(line) + 1;
    const qint64 length = m_log->size() - m_log->lineStart(line);
    return std::max<qint64>(1, (length + m_columns - 1) / m_columns);
}

TrafficLayout::LineRow TrafficLayout::lineRowOf(qint64 row) const
{
    // The last group of lines that starts at or before the row, then the line
    // within it.
    auto groupRow
        = [this](qint64 group) { return group * kGroupLines + m_groupExtra[size_t(group)]; };
    qint64 low = 0;
    qint64 high = qint64(m_groupExtra.size());
    while (low < high) {
        const qint64 mid = low + (high - low) / 2;
        if (groupRow(mid) <= row)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == 0)
        return { 0, row };
    qint64 line = (low - 1) * kGroupLines;
    qint64 lineRow = groupRow(low - 1);
    for (; line < lastLine(); ++line) {
        const qint64 rows = extraOf(line) + 1;
        if (row < lineRow + rows)
            return { line, row - lineRow };
        lineRow += rows;
    }
    return { lastLine(), row - lineRow };
}

void TrafficLayout::indexLines(qint64 first, qint64 last)
{
    // Extra rows of a line of the given length, leaving out its terminator.
    const auto extraFor
        = [this](qint64 length) { return length > 0 ? (length - 1) / m_columns : 0; };
    std::array<qint64, 4096> starts;
    std::array<quint8, 4096> extras;
    qint64 line = first;
    while (line < last) {
        const qsizetype n = m_log->lineStarts(line, starts);
        qsizetype i = 0;
        for (; i + 1 < n && line + i < last; ++i) {
            const qint64 start = starts[size_t(i)];
            const qint64 next = starts[size_t(i) + 1];
            // The terminator is one byte or two; only when that decides the
            // row count is it worth reading which.
            qint64 extra = extraFor(next - start - 1);
            if (next - start >= 2 && extraFor(next - start - 2) != extra)
                extra = extraFor(m_log->lineEndBefore(start, next) - start);
            if ((line + i) % kGroupLines == 0)
                m_groupExtra.push_back(m_extraTotal);
            if (extra >= kLargeExtra)
                m_largeExtra.emplace(line + i, extra);
            extras[size_t(i)] = quint8(std::min<qint64>(extra, kLargeExtra));
            m_extraTotal += extra;
        }
        m_extra.insert(m_extra.end(), extras.begin(), extras.begin() + i);
        line += i;
    }
}
