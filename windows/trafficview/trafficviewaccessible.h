#pragma once

#include "traffic/trafficlayout.h"

#include <QAccessibleWidget>

class TrafficView;

// What assistive technology sees of a TrafficView: a read-only multi-line
// text whose characters are the view's rendered text, with its selection and
// caret. Text is fetched by range on demand, and every boundary lookup (word,
// line, paragraph) reads only the neighbourhood of its offset, so a screen
// reader stays fast on a log of hundreds of megabytes.
//
// Offsets are ints here; a text longer than INT_MAX characters is cut off for
// assistive technology at that length.
class TrafficViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TrafficViewAccessible(TrafficView *view);

    // Installs the factory that gives every TrafficView this interface; once
    // per process, before the first view is asked for its interface.
    static void registerFactory();

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int *startOffset, int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int *startOffset, int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
        int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    TrafficView *view() const;
    TrafficLayout::Span unitAt(qint64 offset, QAccessible::TextBoundaryType type) const;
    TrafficLayout::Span lineAt(qint64 offset) const;
    TrafficLayout::Span textUnitAt(qint64 offset, QAccessible::TextBoundaryType type) const;
    QString answer(TrafficLayout::Span unit, int *startOffset, int *endOffset) const;
};
