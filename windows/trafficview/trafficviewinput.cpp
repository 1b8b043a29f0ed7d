// Keys, mouse and clipboard of TrafficView; the rest is in trafficview.cpp.

#include "traffic/trafficlog.h"
#include "traffic/trafficnavigation.h"
#include "trafficview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>
#include <cmath>

void TrafficView::copy()
{
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

QMenu *TrafficView::createContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    QAction *copyAction = menu->addAction(tr("Kopieren"), this, &TrafficView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    QAction *selectAllAction
        = menu->addAction(tr("Alles auswählen"), this, &TrafficView::selectAll);
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    selectAllAction->setEnabled(length() > 0);
    return menu;
}

void TrafficView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

qint64 TrafficView::byteAt(const QPoint &point) const
{
    if (!m_log || point.x() < kMargin || point.y() < 0)
        return -1;
    const qint64 row = firstVisibleRow() + point.y() / m_glyphs.lineHeight();
    if (row >= m_layout.rowCount())
        return -1;
    const auto column = qint64(std::floor((point.x() - kMargin) / m_glyphs.cellWidth()));
    const TrafficLayout::Span span = m_layout.rowSpan(row);
    const qint64 position = span.from + column;
    // A line end is drawn as nothing, but takes the cell after the line as a
    // selection shows it.
    const bool onLineEnd = position == span.to && m_layout.rowEnd(row) > span.to;
    return position < span.to || onLineEnd ? position / m_rendering.charactersPerByte() : -1;
}

bool TrafficView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip || !m_byteToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const qint64 byte = byteAt(help->pos());
    if (byte < 0)
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), m_byteToolTip(byte), viewport());
    return true;
}

void TrafficView::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (!moveByKey(event)) {
        // Typing, pasting and deleting change nothing here; the key goes on to
        // the window, as a read-only text box lets it.
        event->ignore();
        return;
    }
    event->accept();
}

bool TrafficView::moveByKey(QKeyEvent *event)
{
    using Key = QKeySequence::StandardKey;
    const TrafficNavigation navigation(m_layout);
    const qint64 page = fullRowCount();
    const qint64 goal = m_goalColumn >= 0 ? m_goalColumn : m_layout.cellOf(m_caret).column;
    const bool select = event->modifiers() & Qt::ShiftModifier;
    const auto is = [event](Key move, Key extend) { return event == move || event == extend; };
    qint64 to = m_caret;
    bool vertical = false;
    if (is(Key::MoveToNextChar, Key::SelectNextChar))
        to = navigation.next(m_caret);
    else if (is(Key::MoveToPreviousChar, Key::SelectPreviousChar))
        to = navigation.previous(m_caret);
    else if ((vertical = is(Key::MoveToNextLine, Key::SelectNextLine)))
        to = navigation.moveRows(m_caret, 1, goal);
    else if ((vertical = is(Key::MoveToPreviousLine, Key::SelectPreviousLine)))
        to = navigation.moveRows(m_caret, -1, goal);
    else if ((vertical = is(Key::MoveToNextPage, Key::SelectNextPage)))
        to = navigation.moveRows(m_caret, page, goal);
    else if ((vertical = is(Key::MoveToPreviousPage, Key::SelectPreviousPage)))
        to = navigation.moveRows(m_caret, -page, goal);
    else if (is(Key::MoveToStartOfLine, Key::SelectStartOfLine))
        to = navigation.rowStart(m_caret);
    else if (is(Key::MoveToEndOfLine, Key::SelectEndOfLine))
        to = navigation.rowEnd(m_caret);
    else if (is(Key::MoveToStartOfDocument, Key::SelectStartOfDocument))
        to = 0;
    else if (is(Key::MoveToEndOfDocument, Key::SelectEndOfDocument))
        to = length();
    else
        return false;
    setSelection(select ? m_anchor : to, to);
    if (vertical)
        m_goalColumn = goal;
    ensureVisible(m_caret);
    return true;
}

qint64 TrafficView::pointToPosition(const QPoint &point, Snap snap) const
{
    const qint64 row = std::clamp<qint64>(
        firstVisibleRow() + point.y() / m_glyphs.lineHeight(), 0, m_layout.rowCount() - 1);
    const qreal cells = (point.x() - kMargin) / m_glyphs.cellWidth();
    const qint64 column
        = qint64(snap == Snap::NearestBoundary ? std::round(cells) : std::floor(cells));
    return m_layout.positionAt(row, std::max<qint64>(column, 0));
}

void TrafficView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const qint64 at = pointToPosition(event->position().toPoint(), Snap::NearestBoundary);
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    setSelection(extend ? m_anchor : at, at);
    m_dragging = true;
    m_dragPoint = event->position().toPoint();
}

void TrafficView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    m_dragPoint = event->position().toPoint();
    const bool outside = m_dragPoint.y() < 0 || m_dragPoint.y() >= viewport()->height();
    if (outside && !m_dragTimer.isActive())
        m_dragTimer.start();
    else if (!outside)
        m_dragTimer.stop();
    setSelection(m_anchor, pointToPosition(m_dragPoint, Snap::NearestBoundary));
}

void TrafficView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_dragTimer.stop();
    }
}

void TrafficView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qint64 at = pointToPosition(event->position().toPoint(), Snap::CellUnderPoint);
    const TrafficLayout::Span word = TrafficNavigation(m_layout).wordAt(at);
    setSelection(word.from, word.to);
    m_dragging = false;
}

void TrafficView::dragScroll()
{
    // Dragging past the top or bottom edge keeps scrolling and selecting.
    setTopRow(firstVisibleRow() + (m_dragPoint.y() < 0 ? -1 : 1));
    setSelection(m_anchor, pointToPosition(m_dragPoint, Snap::NearestBoundary));
}

void TrafficView::wheelEvent(QWheelEvent *event)
{
    // The wheel turns the scroll bar, which must stand where the view does.
    syncScrollBar();
    QAbstractScrollArea::wheelEvent(event);
}

void TrafficView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    markRowsChanged(-1, FrameClock::Pace::Interactive);
}

void TrafficView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    markRowsChanged(-1, FrameClock::Pace::Interactive);
}
