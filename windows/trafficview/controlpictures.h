#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>

class QPainter;

// How a control code shows in one character cell: a tinted cell with one
// large mark in it, so that it stands out from the text at a glance and can
// be read on a second look. The mark is the letter of caret notation for
// 01 to 1F (^A to ^Z, then [ \ ] ^ _: CR is M, LF is J) and a sign of its own
// for the three that people look for: NUL a slashed circle, ESC the escape
// sign (a circle with an arrow out of it), DEL a cross.
//
// The codes arrive as their Control Pictures characters (U+2400 NUL to U+2421
// DEL), which is how the views and the entries keep them apart from real line
// ends; few fonts draw that block, and those that do draw tiny letters.
class ControlPictures
{
public:
    struct Colors
    {
        QColor cell;
        QColor mark;
        bool operator==(const Colors &) const = default;
    };

    static bool covers(QChar symbol);
    // The colours for a cell of plain text and for a selected one.
    static Colors plain();
    static Colors selected(const QColor &highlight, const QColor &highlightedText);

    // Paints the cell for a control code into the given rectangle; the letter
    // in it is drawn from the text's font.
    static void paint(QPainter &painter, const QRectF &cell, QChar symbol, const Colors &colors,
        const QFont &textFont);

    void setGeometry(const QFont &font, int cellWidth, int lineHeight);
    // The picture of one cell of the size set above; kept for the next frame.
    const QImage &image(QChar symbol, const Colors &colors);

private:
    QImage draw(QChar symbol, const Colors &colors) const;

    QFont m_font;
    int m_cellWidth = 8;
    int m_lineHeight = 16;
    QHash<quint64, QImage> m_cache;
};
