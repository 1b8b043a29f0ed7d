#pragma once

#include <QHash>
#include <QSyntaxHighlighter>

// Gives every control code in an entry box the width of one cell of the box's
// fixed-pitch font. The codes stand in the document as Control Pictures
// characters, which the font lacks; the glyph Qt falls back to may be wider or
// narrower, and would push the rest of the line off the grid. The box paints
// its own cell over each of them.
class ControlCellSpacing : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit ControlCellSpacing(QTextDocument *document);

    // The width every control code takes in a box of that font.
    static qreal cellWidth(const QFont &font);

protected:
    void highlightBlock(const QString &text) override;

private:
    qreal spacingFor(QChar symbol);

    QFont m_font;
    QHash<char16_t, qreal> m_spacing;
};
