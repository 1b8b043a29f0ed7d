#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>

// Pictures for the Control Pictures block (U+2400 NUL to U+2421 DEL), drawn
// the way fonts that have the block draw them: the code's short name in small
// letters running diagonally through one cell. Few fonts carry the block
// (neither Liberation Mono, which Courier New resolves to, nor DejaVu Sans
// Mono), and a control code must still show as something that says which it is.
class ControlPictures
{
public:
    static bool covers(QChar symbol);

    void setGeometry(const QFont &font, int cellWidth, int lineHeight);
    // The picture for a cell of the given size, in the given colour; kept for
    // the next frame.
    const QImage &image(QChar symbol, const QColor &color);

private:
    QImage draw(QChar symbol, const QColor &color) const;

    QFont m_font;
    int m_cellWidth = 8;
    int m_lineHeight = 16;
    QHash<quint64, QImage> m_cache;
};
