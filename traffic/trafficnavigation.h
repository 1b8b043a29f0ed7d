#pragma once

#include "trafficlayout.h"

// Caret movement and word selection over a laid-out log, in rendered
// positions. In the Characters rendering the caret never stops inside a line
// terminator: it goes from the end of a line's characters to the next line's
// start in one step, as in a text box.
class TrafficNavigation
{
public:
    explicit TrafficNavigation(const TrafficLayout &layout)
        : m_layout(layout)
    {
    }

    qint64 next(qint64 position) const;
    qint64 previous(qint64 position) const;
    qint64 rowStart(qint64 position) const;
    qint64 rowEnd(qint64 position) const;
    // The position rows further down (up when negative) at the given column.
    qint64 moveRows(qint64 position, qint64 rows, qint64 column) const;
    // What a double-click on the cell of position selects: the word around it
    // or the single other character (Characters), the whole group "XX " (Hex).
    TrafficLayout::Span wordAt(qint64 position) const;

private:
    bool isWordByte(qint64 offset) const;

    const TrafficLayout &m_layout;
};
