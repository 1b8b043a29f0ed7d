#pragma once

#include "trafficrendering.h"

#include <QtGlobal>
#include <deque>
#include <map>
#include <vector>

class TrafficLog;

// Where the rendered text of a log falls into rows of a given width in cells,
// one cell per rendered character, for a view that draws only the rows on
// screen.
//
// Hex: the notation of the whole log is one endless line of three-cell groups,
// wrapped after as many whole groups as fit, so every row follows from a
// division and nothing is stored.
//
// Characters: every line of the log starts a row and takes ceil(length /
// columns) rows, at least one. Each complete line keeps one byte, the rows it
// takes beyond the first (the rare line that needs more than 254 extra rows
// keeps its count aside), and every 256 lines keep the running count of extra
// rows before them: a row is found by a binary search over those groups and a
// walk of at most 256 bytes. One byte per line is a small fraction of the
// line's own bytes, and rewrapping writes them in one pass over the log's line
// index. sync() takes in what was appended since; the last line of the log is
// measured live, as it may still grow.
class TrafficLayout
{
public:
    struct Cell
    {
        qint64 row = 0;
        qint64 column = 0;
    };
    // Rendered positions [from, to) drawn on one row.
    struct Span
    {
        qint64 from = 0;
        qint64 to = 0;
    };

    void setLog(const TrafficLog *log, TrafficRendering rendering);
    void setColumns(int columns);
    void sync();
    // Forgets everything indexed, for a log that has been cleared.
    void rebuild();

    const TrafficLog *log() const { return m_log; }
    TrafficRendering rendering() const { return m_rendering; }
    int columns() const { return m_columns; }
    qint64 length() const;

    qint64 rowCount() const;
    Span rowSpan(qint64 row) const;
    // Where the next row starts, or the end: the row as a piece of the text.
    qint64 rowEnd(qint64 row) const;
    // A position at the end of a full row stays on that row, after its last cell.
    Cell cellOf(qint64 position) const;
    qint64 positionAt(qint64 row, qint64 column) const;

private:
    struct LineRow
    {
        qint64 line = 0;
        qint64 rowInLine = 0;
    };

    static constexpr qint64 kGroupLines = 256;
    static constexpr quint8 kLargeExtra = 255;

    qint64 groupsPerRow() const;
    qint64 lastLine() const { return m_indexedLines; }
    qint64 extraOf(qint64 line) const;
    qint64 firstRowOf(qint64 line) const;
    qint64 rowsOf(qint64 line) const;
    LineRow lineRowOf(qint64 row) const;
    void indexLines(qint64 first, qint64 last);

    const TrafficLog *m_log = nullptr;
    TrafficRendering m_rendering;
    int m_columns = 80;
    // A deque grows without copying what it holds, so a long stream never
    // waits for a large reallocation.
    std::deque<quint8> m_extra;
    std::vector<qint64> m_groupExtra;
    std::map<qint64, qint64> m_largeExtra;
    qint64 m_extraTotal = 0;
    qint64 m_indexedLines = 0;
};
