#pragma once

#include "windows/trafficview/controlpictures.h"

#include <QPlainTextEdit>
#include <functional>
#include <optional>

// An entry box that holds only what can go on the line: characters of
// Windows-1252 other than code 0, one byte each. Whatever would bring in
// another character (a key, an input method, a paste, a drop) is refused as a
// whole, so what the box shows is always what leaves the port.
//
// text() and the caret positions count the box's 8-bit characters. In the
// multi-line variant a line break is the pair CR LF, as Enter types it; a lone
// CR or LF and the other control codes but Tab show as their Control Pictures
// symbol, since a text document has no way to keep them apart from a break or
// to show them at all; the box paints those as ControlPictures cells, as the
// traffic views do. The single-line variant takes no line end from the
// keyboard and shows every line-end character as its symbol.
class EightBitEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    enum class Lines { Multi, Single };
    // The decision for one typed character: the character to let in instead,
    // or nothing to discard the key.
    using KeyFilter = std::function<std::optional<QChar>(QChar)>;

    explicit EightBitEdit(Lines lines, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    bool isEmpty() const;

    // The start of the selection, or the caret when there is none.
    qsizetype caretPosition() const;
    // Puts the caret there without a selection.
    void setCaretPosition(qsizetype position);

    // Sees every typed character before the box does; keys that type nothing
    // (arrows, Delete) and pastes do not pass it.
    void setKeyFilter(KeyFilter filter) { m_keyFilter = std::move(filter); }

    // Whether a character may enter the box at all.
    static bool canHold(QChar ch);

Q_SIGNALS:
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Paints the cell of each control code on screen over what Qt drew there.
    void paintControlCells(const QRect &area);

    std::optional<QString> acceptedPaste(const QMimeData *source) const;
    bool admits(QString &typed) const;

    Lines m_lines = Lines::Multi;
    KeyFilter m_keyFilter;
};
