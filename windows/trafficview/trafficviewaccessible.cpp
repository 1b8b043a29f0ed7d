#include "trafficviewaccessible.h"

#include "traffic/trafficlog.h"
#include "trafficview.h"

#include <QTextBoundaryFinder>
#include <climits>

namespace {

// Above this, the whole text is not offered as one value; the text interface
// still gives every range of it.
constexpr qint64 kValueLimit = 1 << 20;
// How far a word or sentence lookup reads on either side of its offset.
constexpr qint64 kBoundaryWindow = 4096;

QAccessibleInterface *createTrafficViewAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1String("TrafficView"))
        return nullptr;
    auto *view = qobject_cast<TrafficView *>(object);
    return view ? new TrafficViewAccessible(view) : nullptr;
}

} // namespace

TrafficViewAccessible::TrafficViewAccessible(TrafficView *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

void TrafficViewAccessible::registerFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(createTrafficViewAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

void *TrafficViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TrafficViewAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return view()->length() <= kValueLimit ? view()->text() : QString();
    return QAccessibleWidget::text(type);
}

QAccessible::State TrafficViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void TrafficViewAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && view()->hasSelection()) {
        *startOffset = int(std::min<qint64>(view()->selectionStart(), INT_MAX));
        *endOffset = int(std::min<qint64>(view()->selectionEnd(), INT_MAX));
    }
}

int TrafficViewAccessible::selectionCount() const
{
    return view()->hasSelection() ? 1 : 0;
}

void TrafficViewAccessible::addSelection(int startOffset, int endOffset)
{
    view()->setSelection(startOffset, endOffset);
}

void TrafficViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->setCursorPosition(view()->cursorPosition());
}

void TrafficViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->setSelection(startOffset, endOffset);
}

int TrafficViewAccessible::cursorPosition() const
{
    return int(std::min<qint64>(view()->cursorPosition(), INT_MAX));
}

void TrafficViewAccessible::setCursorPosition(int position)
{
    view()->setCursorPosition(position);
}

QString TrafficViewAccessible::text(int startOffset, int endOffset) const
{
    if (endOffset < 0)
        endOffset = characterCount();
    return view()->text(startOffset, endOffset);
}

QString TrafficViewAccessible::textBeforeOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    const TrafficLayout::Span unit = unitAt(offset, boundaryType);
    if (unit.from <= 0)
        return answer({ -1, -1 }, startOffset, endOffset);
    return answer(unitAt(unit.from - 1, boundaryType), startOffset, endOffset);
}

QString TrafficViewAccessible::textAfterOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    const TrafficLayout::Span unit = unitAt(offset, boundaryType);
    if (unit.from < 0 || unit.to >= characterCount())
        return answer({ -1, -1 }, startOffset, endOffset);
    return answer(unitAt(unit.to, boundaryType), startOffset, endOffset);
}

QString TrafficViewAccessible::textAtOffset(
    int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const
{
    return answer(unitAt(offset, boundaryType), startOffset, endOffset);
}

int TrafficViewAccessible::characterCount() const
{
    return int(std::min<qint64>(view()->length(), INT_MAX));
}

QRect TrafficViewAccessible::characterRect(int offset) const
{
    const QRect cell = view()->cellRect(offset);
    return QRect(view()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

int TrafficViewAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = view()->viewport()->mapFromGlobal(point);
    if (!view()->viewport()->rect().contains(local))
        return -1;
    return int(std::min<qint64>(view()->positionAt(local), INT_MAX));
}

void TrafficViewAccessible::scrollToSubstring(int startIndex, int)
{
    view()->ensureVisible(startIndex);
}

QString TrafficViewAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

TrafficView *TrafficViewAccessible::view() const
{
    return static_cast<TrafficView *>(widget());
}

TrafficLayout::Span TrafficViewAccessible::unitAt(
    qint64 offset, QAccessible::TextBoundaryType type) const
{
    const qint64 count = characterCount();
    if (offset == -2)
        offset = cursorPosition();
    else if (offset == -1)
        offset = count;
    if (count == 0 || offset < 0 || offset > count)
        return { -1, -1 };
    switch (type) {
    case QAccessible::CharBoundary:
        return { offset, std::min(offset + 1, count) };
    case QAccessible::LineBoundary:
        return lineAt(offset);
    case QAccessible::ParagraphBoundary: {
        const TrafficLog *log = view()->log();
        if (view()->rendering().kind() == TrafficRendering::Kind::Hex || !log)
            return lineAt(offset);
        const qint64 line = log->lineOf(std::min(offset, count - 1));
        const qint64 next = line + 1 < log->lineCount() ? log->lineStart(line + 1) : log->size();
        return { log->lineStart(line), std::min(next, count) };
    }
    case QAccessible::WordBoundary:
    case QAccessible::SentenceBoundary:
        return textUnitAt(std::min(offset, count - 1), type);
    case QAccessible::NoBoundary:
        break;
    }
    return { 0, count };
}

TrafficLayout::Span TrafficViewAccessible::lineAt(qint64 offset) const
{
    // A row with whatever follows it up to the next row: the line end belongs
    // to the line, so the lines put together give the whole text.
    const TrafficLayout &layout = view()->layout();
    const qint64 row = layout.cellOf(offset).row;
    return { layout.rowSpan(row).from, std::min<qint64>(layout.rowEnd(row), characterCount()) };
}

TrafficLayout::Span TrafficViewAccessible::textUnitAt(
    qint64 offset, QAccessible::TextBoundaryType type) const
{
    const qint64 from = std::max<qint64>(0, offset - kBoundaryWindow);
    const qint64 to = std::min<qint64>(characterCount(), offset + kBoundaryWindow);
    const QString window = view()->text(from, to);
    QTextBoundaryFinder finder(type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                                 : QTextBoundaryFinder::Sentence,
        window);
    finder.setPosition(offset - from);
    const qint64 start = finder.isAtBoundary() ? finder.position() : finder.toPreviousBoundary();
    const qint64 end = finder.toNextBoundary();
    return { from + std::max<qint64>(start, 0), from + (end < 0 ? window.size() : end) };
}

QString TrafficViewAccessible::answer(
    TrafficLayout::Span unit, int *startOffset, int *endOffset) const
{
    *startOffset = int(std::min<qint64>(unit.from, INT_MAX));
    *endOffset = int(std::min<qint64>(unit.to, INT_MAX));
    if (unit.from < 0)
        return QString();
    return view()->text(unit.from, unit.to);
}
