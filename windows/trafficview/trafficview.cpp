#include "trafficview.h"

#include "traffic/trafficlog.h"
#include "trafficscrollbar.h"
#include "trafficviewaccessible.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <climits>

TrafficView::TrafficView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    TrafficViewAccessible::registerFactory();
    setVerticalScrollBar(new TrafficScrollBar(this));
    // Always there, so that its showing up cannot narrow the text and rewrap it.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    // The scroll bar is set once per frame; before the user touches it, it
    // catches up with the view.
    verticalScrollBar()->installEventFilter(this);
    m_dragTimer.setInterval(50);
    connect(&m_dragTimer, &QTimer::timeout, this, &TrafficView::dragScroll);
    m_glyphs.setFont(font(), m_rendering);
    m_layout.setLog(nullptr, m_rendering);
    markScrollBarChanged();
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
    setTopRow(0);
    markRowsChanged(-1, FrameClock::Pace::Interactive);
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
    markRowsChanged(-1, FrameClock::Pace::Interactive);
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
    // A caret alone moving on (to the end of a stream) changes only its old
    // and its new row; a selection may change any row.
    if (hasSelection() || anchor != position) {
        markRowsChanged(-1, FrameClock::Pace::Interactive);
    } else {
        // A row never comes before the row of an earlier position.
        markRowsChanged(m_layout.cellOf(std::min(m_caret, position)).row, m_pace);
    }
    m_anchor = anchor;
    m_caret = position;
    m_goalColumn = -1;
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
    const qint64 fullRows = fullRowCount();
    qint64 top = firstVisibleRow();
    if (row < top)
        top = row;
    else if (row >= top + fullRows)
        top = row - fullRows + 1;
    setTopRow(top, m_pace);
}

qint64 TrafficView::firstVisibleRow() const
{
    return m_topRow;
}

int TrafficView::visibleRowCount() const
{
    const int lineHeight = m_glyphs.lineHeight();
    return (viewport()->height() + lineHeight - 1) / lineHeight;
}

QRect TrafficView::cellRect(qint64 position) const
{
    return cellRectFrom(position, m_topRow);
}

QRect TrafficView::cellRectFrom(qint64 position, qint64 top) const
{
    const TrafficLayout::Cell cell = m_layout.cellOf(position);
    const qreal x = kMargin + cell.column * m_glyphs.cellWidth();
    const qint64 y = (cell.row - top) * m_glyphs.lineHeight();
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
    // Following a stream, which may wait for the slower frame.
    m_pace = FrameClock::Pace::Stream;
    setCursorPosition(length());
    ensureVisible(m_caret);
    m_pace = FrameClock::Pace::Interactive;
}

void TrafficView::scrollToEnd()
{
    setTopRow(maxTopRow(), FrameClock::Pace::Stream);
}

void TrafficView::onAppended(qint64 from, qint64 count)
{
    const int perByte = m_rendering.charactersPerByte();
    const qint64 firstChangedRow = m_layout.cellOf(from * perByte).row;
    m_layout.sync();
    markScrollBarChanged();
    if (firstChangedRow < m_topRow + visibleRowCount())
        markRowsChanged(firstChangedRow, FrameClock::Pace::Stream);
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
    setTopRow(0);
    markScrollBarChanged(FrameClock::Pace::Interactive);
    markRowsChanged(-1, FrameClock::Pace::Interactive);
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
        const bool atEnd = m_topRow >= maxTopRow();
        const qint64 topPosition = m_layout.rowSpan(m_topRow).from;
        m_layout.setColumns(columns);
        setTopRow(atEnd ? maxTopRow() : m_layout.cellOf(topPosition).row);
    } else {
        setTopRow(m_topRow);
    }
    markScrollBarChanged(FrameClock::Pace::Interactive);
    markRowsChanged(-1, FrameClock::Pace::Interactive);
}

qint64 TrafficView::maxTopRow() const
{
    return std::max<qint64>(0, m_layout.rowCount() - fullRowCount());
}

int TrafficView::fullRowCount() const
{
    return std::max(1, viewport()->height() / m_glyphs.lineHeight());
}

void TrafficView::setTopRow(qint64 row, FrameClock::Pace pace)
{
    row = std::clamp<qint64>(row, 0, maxTopRow());
    if (row == m_topRow)
        return;
    m_topRow = row;
    markScrollBarChanged(pace == FrameClock::Pace::Interactive ? pace : FrameClock::Pace::Settle);
    requestFrame(pace);
}

void TrafficView::markRowsChanged(qint64 fromRow, FrameClock::Pace pace)
{
    if (fromRow < 0)
        m_repaintAll = true;
    else if (m_changedFromRow < 0 || fromRow < m_changedFromRow)
        m_changedFromRow = fromRow;
    requestFrame(pace);
}

void TrafficView::markScrollBarChanged(FrameClock::Pace pace)
{
    m_scrollBarChanged = true;
    if (pace == FrameClock::Pace::Interactive)
        m_scrollBarUrgent = true;
    requestFrame(pace);
}

bool TrafficView::canBeSeen() const
{
    return isVisible() && !window()->isMinimized();
}

void TrafficView::requestFrame(FrameClock::Pace pace)
{
    m_framePending = true;
    // Nothing is drawn where nothing can be seen; showing the view again asks
    // for the frame that catches up.
    if (!canBeSeen() || (m_requestedPace && *m_requestedPace <= pace))
        return;
    m_requestedPace = pace;
    FrameClock::instance().request(
        this, [this] { applyFrame(); }, pace);
}

void TrafficView::applyFrame()
{
    m_requestedPace.reset();
    if (!m_framePending || !canBeSeen())
        return;
    m_framePending = false;
    // A scroll bar following a stream settles a few times a second: setting
    // it costs a relayout of the scroll area, and its slider hardly moves.
    const int settleMs = FrameClock::intervalMs(FrameClock::Pace::Settle);
    if (m_scrollBarUrgent || !m_scrollBarSynced.isValid()
        || m_scrollBarSynced.elapsed() >= settleMs)
        syncScrollBar();
    else if (m_scrollBarChanged)
        requestFrame(FrameClock::Pace::Settle);
    // Rows that moved are painted afresh: moving them by a copy would save
    // little, as at a line's pace most rows on screen are new by the next
    // frame, and the copy costs a round trip to the X server.
    const int lineHeight = m_glyphs.lineHeight();
    if (m_repaintAll || m_topRow != m_shownTop) {
        viewport()->update();
    } else if (m_changedFromRow >= 0) {
        const qint64 first = std::max(m_changedFromRow, m_topRow) - m_topRow;
        if (first < visibleRowCount()) {
            viewport()->update(0, int(first * lineHeight), viewport()->width(),
                viewport()->height() - int(first * lineHeight));
        }
    }
    m_shownTop = m_topRow;
    m_repaintAll = false;
    m_changedFromRow = -1;
}

void TrafficView::syncScrollBar()
{
    if (!m_scrollBarChanged)
        return;
    m_scrollBarChanged = false;
    m_scrollBarUrgent = false;
    m_scrollBarSynced.start();
    // Rows, not pixels, keep the range within an int far beyond any log that
    // fits in memory; clamping covers the rest.
    const int fullRows = fullRowCount();
    m_syncingScrollBar = true;
    static_cast<TrafficScrollBar *>(verticalScrollBar())
        ->setState(int(std::min<qint64>(maxTopRow(), INT_MAX)), fullRows,
            int(std::min<qint64>(m_topRow, INT_MAX)));
    m_syncingScrollBar = false;
}

void TrafficView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void TrafficView::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    // Whatever came while it could not be seen.
    m_repaintAll = true;
    requestFrame(FrameClock::Pace::Interactive);
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
    // The view's own moves reach the scroll bar in syncScrollBar(); this is
    // the user moving the bar.
    if (m_syncingScrollBar)
        return;
    setTopRow(verticalScrollBar()->value());
}

bool TrafficView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == verticalScrollBar()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
            syncScrollBar();
            break;
        default:
            break;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
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
