#pragma once

#include "controlpictures.h"
#include "traffic/trafficrendering.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPalette>
#include <QPointF>
#include <QRawFont>
#include <array>
#include <vector>

class QPainter;

// The glyph for every cell a traffic view can show, looked up once per font,
// and the drawing of a screenful of cells in a few glyph runs.
//
// Cells sit on a fixed grid whatever the glyphs' own advances, so a character
// that the fixed-pitch font lacks (U+FFFD, for one) is taken from a fallback
// font and centred in its cell without pushing the rest of the row aside.
// Control codes are drawn by ControlPictures, as tinted cells, whatever the
// font has for their Control Pictures characters. Drawing glyph runs skips
// text shaping, which would join, reorder or hide characters (a soft hyphen)
// that must each keep a cell.
class TrafficGlyphs
{
public:
    struct Glyph
    {
        int font = -1; // -1: no glyph, a picture or a blank
        quint32 index = 0;
        qreal offset = 0;
        char16_t picture = 0; // a control picture drawn by ControlPictures
    };

    void setFont(const QFont &font, const TrafficRendering &rendering);

    qreal cellWidth() const { return m_cellWidth; }
    int lineHeight() const { return m_lineHeight; }
    qreal ascent() const { return m_ascent; }

    const Glyph &forByte(unsigned char byte) const { return m_byteGlyphs[byte]; }
    const Glyph &forHexDigit(int nibble) const { return m_hexGlyphs[nibble & 0xF]; }

    void beginFrame();
    void add(const Glyph &glyph, QPointF baseline, bool selected);
    void drawFrame(QPainter &painter, const QPalette &colors);

private:
    struct Run
    {
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    struct PictureCell
    {
        char16_t picture = 0;
        QPointF topLeft;
        bool selected = false;
    };

    Glyph resolve(QChar ch);
    Glyph resolveByFallback(QChar ch);
    Glyph glyphFrom(const QRawFont &raw, quint32 index);
    int fontIndex(const QRawFont &raw);

    QFont m_font;
    std::vector<QRawFont> m_fonts;
    QHash<char16_t, Glyph> m_resolved;
    std::array<Glyph, 256> m_byteGlyphs {};
    std::array<Glyph, 16> m_hexGlyphs {};
    qreal m_cellWidth = 8;
    int m_lineHeight = 16;
    qreal m_ascent = 12;
    std::vector<Run> m_runs; // per font, unselected and selected
    std::vector<PictureCell> m_pictureCells;
    ControlPictures m_pictures;
};
