#pragma once

#include "frameclock.h"
#include "traffic/trafficlayout.h"
#include "traffic/trafficrendering.h"
#include "trafficglyphs.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

class QMenu;
class TrafficLog;

// A read-only view of a TrafficLog, wrapped at its width in a fixed-pitch font.
//
// The view does not own the log. Several views may show one log: the
// received-data window draws its log as characters in one view and in hex in
// another; the sent-data window gives each of its two views a log of its own,
// both drawn as characters. A log created as a child of the window lives as
// long as the window:
//
//     m_log = new TrafficLog(this);
//     m_text->setLog(m_log, TrafficView::Rendering::Characters);
//     m_text->setZeroByte(TrafficView::ZeroByte::FullStop);
//     m_hex->setLog(m_log, TrafficView::Rendering::Hex);
//     ...
//     m_log->append(bytes);       // both views follow through the log's signals
//     m_text->moveCaretToEnd();   // brings the newest data into view
//
// Only what is on screen is laid out and painted. The screen follows at most
// once per frame (FrameClock) however many appends come in between: only rows
// that changed are painted, the scroll bar settles a few times a second while
// a stream grows the log and repaints only when its slider moves by a pixel,
// and a view that cannot be seen (hidden, minimised) draws nothing until it is
// shown. So a stream costs little more than its
// bytes. All else (rows, scroll position, caret, selection) is up to date as
// soon as an append or a call returns; the scroll bar catches up before the
// user can touch it.
//
// The user can scroll, select and copy but not change the text. A copy yields
// the rendered characters exactly (real CR and LF, not the symbols drawn for
// control codes), however large the selection.
//
// Positions are qint64 offsets into the rendered text (see TrafficRendering).
class TrafficView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    using Rendering = TrafficRendering::Kind;
    using ZeroByte = TrafficRendering::ZeroByte;

    explicit TrafficView(QWidget *parent = nullptr);
    ~TrafficView() override;

    void setLog(TrafficLog *log, Rendering rendering);
    TrafficLog *log() const;
    void setZeroByte(ZeroByte zero);
    TrafficRendering rendering() const { return m_rendering; }

    qint64 length() const;
    QString text() const;
    QString text(qint64 from, qint64 to) const;

    bool hasSelection() const { return m_anchor != m_caret; }
    qint64 selectionStart() const { return std::min(m_anchor, m_caret); }
    qint64 selectionEnd() const { return std::max(m_anchor, m_caret); }
    QString selectedText() const;
    qint64 cursorPosition() const { return m_caret; }
    // Selects from anchor to position and puts the caret at position.
    void setSelection(qint64 anchor, qint64 position);
    void setCursorPosition(qint64 position);
    void ensureVisible(qint64 position);
    // Whether the last row is on screen. A view the user left there follows
    // a growing log; one scrolled away stays where it was put.
    bool showsEnd() const { return m_topRow >= maxTopRow(); }
    // Brings the last row on screen at a stream's pace; caret and selection
    // stay where they are.
    void scrollToEnd();

    const TrafficLayout &layout() const { return m_layout; }
    int columns() const { return m_layout.columns(); }
    qint64 rowCount() const { return m_layout.rowCount(); }
    qint64 firstVisibleRow() const;
    int visibleRowCount() const;
    // Viewport coordinates. positionAt gives the caret position nearest to the point.
    QRect cellRect(qint64 position) const;
    qint64 positionAt(const QPoint &point) const;

    // Every match of a search, marked behind the text: the log offsets of
    // their first bytes, in order, and their length in bytes. The offsets
    // belong to the caller and must live while marked; nullptr ends the
    // marks. updateMarks() shows offsets added since.
    void setMarks(const std::vector<qint64> *starts, qint64 length);
    void updateMarks() { viewport()->update(); }

    // The context menu: "Kopieren" and "Alles auswählen". The caller owns it.
    QMenu *createContextMenu(QWidget *parent);

    // What the tool tip over a byte says, given its offset in the log; the
    // view shows none unless given this.
    void setByteToolTip(std::function<QString(qint64 offset)> tip)
    {
        m_byteToolTip = std::move(tip);
    }
    // The log offset of the byte drawn at a viewport point, -1 where none is
    // (in the hex rendering a byte is its three cells).
    qint64 byteAt(const QPoint &point) const;

public Q_SLOTS:
    void selectAll();
    void copy();
    // Puts the caret after the last character, without a selection, and
    // scrolls it into view.
    void moveCaretToEnd();

Q_SIGNALS:
    void selectionChanged();
    void cursorPositionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Snap { NearestBoundary, CellUnderPoint };

    void paintMarks(QPainter &painter, const TrafficLayout::Span &span, int y);

    static constexpr int kMargin = 2;

    void onAppended(qint64 from, qint64 count);
    void onAboutToClear();
    void onCleared();
    void relayout();
    qint64 maxTopRow() const;
    // Rows that fit whole on screen, at least one.
    int fullRowCount() const;
    // The model's first visible row; the screen follows at the next frame.
    void setTopRow(qint64 row, FrameClock::Pace pace = FrameClock::Pace::Interactive);
    // Rows from this one down have changed; -1 for every row on screen.
    void markRowsChanged(qint64 fromRow, FrameClock::Pace pace);
    // The scroll bar no longer stands where the view does: at once for the
    // user's own moves, within FrameClock's settling time for a stream.
    void markScrollBarChanged(FrameClock::Pace pace = FrameClock::Pace::Settle);
    void requestFrame(FrameClock::Pace pace);
    bool canBeSeen() const;
    void applyFrame();
    void syncScrollBar();
    QRect cellRectFrom(qint64 position, qint64 top) const;
    void paintRow(QPainter &painter, qint64 row, int y);
    void paintSelection(QPainter &painter, const TrafficLayout::Span &span, qint64 row, int y);
    void addRowGlyphs(const TrafficLayout::Span &span, int y);
    void paintCaret(QPainter &painter);
    bool moveByKey(QKeyEvent *event);
    qint64 pointToPosition(const QPoint &point, Snap snap) const;
    void dragScroll();
    void notifySelection();

    QPointer<TrafficLog> m_log;
    TrafficRendering m_rendering;
    TrafficLayout m_layout;
    TrafficGlyphs m_glyphs;
    const std::vector<qint64> *m_marks = nullptr;
    qint64 m_markLength = 0;
    qint64 m_anchor = 0;
    qint64 m_caret = 0;
    qint64 m_goalColumn = -1;
    bool m_dragging = false;
    QPoint m_dragPoint;
    QTimer m_dragTimer;
    // The first visible row as the view stands, and as the screen shows it:
    // painting uses the second, so that a frame's rows painted in two goes
    // (a read between them) always agree.
    qint64 m_topRow = 0;
    qint64 m_shownTop = 0;
    // What the next frame brings to the screen.
    bool m_framePending = false;
    bool m_repaintAll = false;
    qint64 m_changedFromRow = -1;
    bool m_scrollBarChanged = false;
    bool m_scrollBarUrgent = false;
    QElapsedTimer m_scrollBarSynced;
    bool m_syncingScrollBar = false;
    // The pace this view last asked the clock for, until its frame; asking
    // again as soon or later brings nothing, and a stream asks on every read.
    std::optional<FrameClock::Pace> m_requestedPace;
    // How soon a caret move or scrolling must show: at once for the user,
    // within the slower frame for a stream being followed.
    FrameClock::Pace m_pace = FrameClock::Pace::Interactive;
    std::function<QString(qint64)> m_byteToolTip;
};
