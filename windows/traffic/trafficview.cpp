#include "trafficview.h"

#include "traffic/trafficlog.h"
#include "trafficviewaccessible.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <climits>

namespace {

constexpr int kFrameMilliseconds = 16;

} // namespace

TrafficView::TrafficView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    TrafficViewAccessible::registerFactory();
    // Always there, so that its showing up cannot narrow the text and rewrap it.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &TrafficView::applyFrame);
    m_dragTimer.setInterval(50);
    connect(&m_dragTimer, &QTimer::timeout, this, &TrafficView::dragScroll);
    m_glyphs.setFont(font(), m_rendering);
    m_layout.setLog(nullptr, m_rendering);
    updateScrollBar();
}

TrafficView::~TrafficView() = default;

void TrafficView::setLog(TrafficLog *log, Rendering rendering)
{
    if (m_log)
        disconnect(m_log, nullptr, this, nullptr);
    m_log = log;
    m_rendering = TrafficRendering(rendering, m_rendering.zeroByte());
    m_glyphs.setFont(font(), m_rendering);
    m_layout.setLog(log, m_rendering);
    if (log) {
        connect(log, &TrafficLog::appended, this, &TrafficView::onAppended);
        connect(log, &TrafficLog::aboutToClear, this, &TrafficView::onAboutToClear);
        connect(log, &TrafficLog::cleared, this, &TrafficView::onCleared);
        connect(log, &QObject::destroyed, this, [this] { setLog(nullptr, m_rendering.kind()); });
    }
    m_anchor = m_caret = 0;
    relayout();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

TrafficLog *TrafficView::log() const
{
    return m_log;
}

void TrafficView::setZeroByte(ZeroByte zero)
{
    m_rendering = TrafficRendering(m_rendering.kind(), zero);
    m_glyphs.setFont(font(), m_rendering);
    m_layout.setLog(m_log, m_rendering);
    viewport()->update();
}

qint64 TrafficView::length() const
{
    return m_layout.length();
}

QString TrafficView::text() const
{
    return text(0, length());
}

QString TrafficView::text(qint64 from, qint64 to) const
{
    return m_log ? m_rendering.text(*m_log, from, to) : QString();
}

QString TrafficView::selectedText() const
{
    return text(selectionStart(), selectionEnd());
}

void TrafficView::setSelection(qint64 anchor, qint64 position)
{
    anchor = std::clamp<qint64>(anchor, 0, length());
    position = std::clamp<qint64>(position, 0, length());
    if (anchor == m_anchor && position == m_caret)
        return;
    const bool selectionMoved = anchor != m_anchor || hasSelection() || anchor != position;
    const bool caretMoved = position != m_caret;
    m_anchor = anchor;
    m_caret = position;
    m_goalColumn = -1;
    scheduleRepaint();
    if (caretMoved) {
        if (QAccessible::isActive()) {
            QAccessibleTextCursorEvent event(this, int(std::min<qint64>(m_caret, INT_MAX)));
            QAccessible::updateAccessibility(&event);
        }
        Q_EMIT cursorPositionChanged();
    }
    if (selectionMoved) {
        notifySelection();
        Q_EMIT selectionChanged();
    }
}

void TrafficView::setCursorPosition(qint64 position)
{
    setSelection(position, position);
}

void TrafficView::ensureVisible(qint64 position)
{
    const qint64 row = m_layout.cellOf(position).row;
    const qint64 fullRows = std::max(1, viewport()->height() / m_glyphs.lineHeight());
    qint64 top = firstVisibleRow();
    if (row < top)
        top = row;
    else if (row >= top + fullRows)
        top = row - fullRows + 1;
    if (top == firstVisibleRow())
        return;
    holdScrollBarPaint();
    verticalScrollBar()->setValue(int(std::min<qint64>(top, INT_MAX)));
}

qint64 TrafficView::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

int TrafficView::visibleRowCount() const
{
    const int lineHeight = m_glyphs.lineHeight();
    return (viewport()->height() + lineHeight - 1) / lineHeight;
}

QRect TrafficView::cellRect(qint64 position) const
{
    const TrafficLayout::Cell cell = m_layout.cellOf(position);
    const qreal x = kMargin + cell.column * m_glyphs.cellWidth();
    const qint64 y = (cell.row - firstVisibleRow()) * m_glyphs.lineHeight();
    return QRect(int(x), int(std::clamp<qint64>(y, INT_MIN / 2, INT_MAX / 2)),
        int(m_glyphs.cellWidth()), m_glyphs.lineHeight());
}

qint64 TrafficView::positionAt(const QPoint &point) const
{
    return pointToPosition(point, Snap::NearestBoundary);
}

void TrafficView::selectAll()
{
    setSelection(0, length());
}

void TrafficView::moveCaretToEnd()
{
    setCursorPosition(length());
    ensureVisible(m_caret);
}

void TrafficView::onAppended(qint64 from, qint64 count)
{
    const int perByte = m_rendering.charactersPerByte();
    const qint64 firstChangedRow = m_layout.cellOf(from * perByte).row;
    m_layout.sync();
    updateScrollBar();
    if (firstChangedRow < firstVisibleRow() + visibleRowCount())
        scheduleRepaint();
    if (QAccessible::isActive() && (from + count) * perByte <= INT_MAX) {
        QAccessibleTextInsertEvent event(
            this, int(from * perByte), text(from * perByte, (from + count) * perByte));
        QAccessible::updateAccessibility(&event);
    }
}

void TrafficView::onAboutToClear()
{
    if (!QAccessible::isActive())
        return;
    // Beyond this, what was removed is not spelled out; the caret event that
    // follows makes a screen reader read the (now empty) text again.
    constexpr qint64 kRemovedTextLimit = 1 << 20;
    if (length() > 0 && length() <= kRemovedTextLimit) {
        QAccessibleTextRemoveEvent event(this, 0, text());
        QAccessible::updateAccessibility(&event);
    }
}

void TrafficView::onCleared()
{
    m_layout.rebuild();
    m_anchor = m_caret = 0;
    updateScrollBar();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent event(this, 0);
        QAccessible::updateAccessibility(&event);
    }
    Q_EMIT cursorPositionChanged();
    Q_EMIT selectionChanged();
}

void TrafficView::relayout()
{
    const qreal usable = viewport()->width() - 2 * kMargin;
    const int columns = std::max(1, int(usable / m_glyphs.cellWidth()));
    if (columns != m_layout.columns()) {
        // Keep the text that stood at the top there, or the end in view for a
        // view that showed its end.
        const bool atEnd = firstVisibleRow() >= verticalScrollBar()->maximum();
        const qint64 topPosition = m_layout.rowSpan(firstVisibleRow()).from;
        m_layout.setColumns(columns);
        updateScrollBar();
        const qint64 top
            = atEnd ? verticalScrollBar()->maximum() : m_layout.cellOf(topPosition).row;
        verticalScrollBar()->setValue(int(std::min<qint64>(top, INT_MAX)));
    } else {
        updateScrollBar();
    }
    viewport()->update();
}

void TrafficView::updateScrollBar()
{
    holdScrollBarPaint();
    const int fullRows = std::max(1, viewport()->height() / m_glyphs.lineHeight());
    // Rows, not pixels, keep the range within an int far beyond any log that
    // fits in memory; clamping covers the rest.
    const qint64 maximum = std::clamp<qint64>(m_layout.rowCount() - fullRows, 0, INT_MAX);
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, int(maximum));
    bar->setPageStep(fullRows);
    bar->setSingleStep(1);
}

void TrafficView::scheduleRepaint()
{
    m_repaintPending = true;
    startFrameTimer();
}

void TrafficView::holdScrollBarPaint()
{
    // The scroll bar's value and range stay exact at every moment; only its
    // painting waits for the frame. Painting it (and flushing the window) for
    // every read would cost more than everything else an append does.
    verticalScrollBar()->setUpdatesEnabled(false);
    startFrameTimer();
}

void TrafficView::startFrameTimer()
{
    if (m_frameTimer.isActive())
        return;
    const qint64 since = m_lastFrame.isValid() ? m_lastFrame.elapsed() : kFrameMilliseconds;
    m_frameTimer.start(int(std::max<qint64>(0, kFrameMilliseconds - since)));
}

void TrafficView::applyFrame()
{
    m_lastFrame.start();
    QScrollBar *bar = verticalScrollBar();
    if (!bar->updatesEnabled())
        bar->setUpdatesEnabled(true); // which repaints it
    if (m_repaintPending)
        viewport()->update();
    m_repaintPending = false;
}

void TrafficView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void TrafficView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_glyphs.setFont(font(), m_rendering);
        relayout();
    }
}

void TrafficView::scrollContentsBy(int, int)
{
    // Rows are drawn from the layout at the new position; there is nothing
    // worth scrolling by pixels.
    scheduleRepaint();
}

void TrafficView::notifySelection()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTextSelectionEvent event(this, int(std::min<qint64>(selectionStart(), INT_MAX)),
        int(std::min<qint64>(selectionEnd(), INT_MAX)));
    event.setCursorPosition(int(std::min<qint64>(m_caret, INT_MAX)));
    QAccessible::updateAccessibility(&event);
}
