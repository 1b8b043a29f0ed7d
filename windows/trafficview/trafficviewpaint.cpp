// Drawing of the rows on screen; the rest of TrafficView is in trafficview.cpp.

#include "traffic/trafficlog.h"
#include "trafficview.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

void TrafficView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    if (!m_log)
        return;
    const int lineHeight = m_glyphs.lineHeight();
    const QRect area = event->rect();
    // What the screen shows, which may trail the view by a frame. A paint of the whole
    // viewport (an expose, a grab) draws the view as it stands and so brings
    // the screen up to it.
    if (area.contains(viewport()->rect())) {
        m_shownTop = m_topRow;
        m_repaintAll = false;
        m_changedFromRow = -1;
    }
    const qint64 top = m_shownTop;
    const qint64 rows = m_layout.rowCount();
    m_glyphs.beginFrame();
    for (int i = area.top() / lineHeight; i <= area.bottom() / lineHeight; ++i) {
        if (top + i >= rows)
            break;
        paintRow(painter, top + i, i * lineHeight);
    }
    m_glyphs.drawFrame(painter, palette());
    paintCaret(painter);
}

void TrafficView::setMarks(const std::vector<qint64> *starts, qint64 length)
{
    m_marks = starts;
    m_markLength = length;
    viewport()->update();
}

void TrafficView::paintRow(QPainter &painter, qint64 row, int y)
{
    const TrafficLayout::Span span = m_layout.rowSpan(row);
    if (m_marks && !m_marks->empty())
        paintMarks(painter, span, y);
    if (hasSelection() && selectionStart() <= span.to && selectionEnd() > span.from)
        paintSelection(painter, span, row, y);
    addRowGlyphs(span, y);
}

void TrafficView::paintSelection(
    QPainter &painter, const TrafficLayout::Span &span, qint64 row, int y)
{
    const qint64 from = std::max(selectionStart(), span.from) - span.from;
    qint64 to = std::min(selectionEnd(), span.to) - span.from;
    // A selected line end (not drawn itself) shows as one more selected cell.
    if (selectionEnd() > span.to && m_layout.rowEnd(row) > span.to)
        ++to;
    const qreal cell = m_glyphs.cellWidth();
    const QRectF band(kMargin + from * cell, y, (to - from) * cell, m_glyphs.lineHeight());
    painter.fillRect(band, palette().color(QPalette::Highlight));
}

void TrafficView::paintMarks(QPainter &painter, const TrafficLayout::Span &span, int y)
{
    const int perByte = m_rendering.charactersPerByte();
    // The hex rendering's blank after a byte is not part of it.
    const int gap = m_rendering.kind() == Rendering::Hex ? 1 : 0;
    const qint64 firstByte = span.from / perByte;
    const qreal cell = m_glyphs.cellWidth();
    const QColor mark = palette().color(QPalette::Highlight).lighter(170);
    // The first match that can reach into the row, then each one that starts in it.
    auto at = std::lower_bound(m_marks->begin(), m_marks->end(), firstByte - m_markLength + 1);
    for (; at != m_marks->end() && *at * perByte < span.to; ++at) {
        const qint64 from = std::max(*at * perByte, span.from) - span.from;
        const qint64 to = std::min((*at + m_markLength) * perByte - gap, span.to) - span.from;
        if (to > from)
            painter.fillRect(
                QRectF(kMargin + from * cell, y, (to - from) * cell, m_glyphs.lineHeight()), mark);
    }
}

void TrafficView::addRowGlyphs(const TrafficLayout::Span &span, int y)
{
    const bool hex = m_rendering.kind() == Rendering::Hex;
    const int perByte = m_rendering.charactersPerByte();
    const qreal cell = m_glyphs.cellWidth();
    const qreal baseline = y + m_glyphs.ascent();
    const qint64 firstByte = span.from / perByte;
    const QByteArray bytes = m_log->bytes(firstByte, (span.to + perByte - 1) / perByte - firstByte);
    for (qint64 pos = span.from; pos < span.to; ++pos) {
        const auto byte = static_cast<unsigned char>(bytes[pos / perByte - firstByte]);
        const qint64 digit = hex ? pos % 3 : 0;
        if (digit == 2)
            continue;
        const TrafficGlyphs::Glyph &glyph = !hex ? m_glyphs.forByte(byte)
            : digit == 0                         ? m_glyphs.forHexDigit(byte >> 4)
                                                 : m_glyphs.forHexDigit(byte);
        const bool selected = pos >= selectionStart() && pos < selectionEnd();
        m_glyphs.add(glyph, QPointF(kMargin + (pos - span.from) * cell, baseline), selected);
    }
}

void TrafficView::paintCaret(QPainter &painter)
{
    if (!hasFocus())
        return;
    const QRect cell = cellRectFrom(m_caret, m_shownTop);
    if (cell.bottom() < 0 || cell.top() > viewport()->height())
        return;
    painter.fillRect(
        QRect(cell.left(), cell.top(), 1, cell.height()), palette().color(QPalette::Text));
}
