#include "trafficglyphs.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

void TrafficGlyphs::setFont(const QFont &font, const TrafficRendering &rendering)
{
    if (font != m_font || m_fonts.empty()) {
        m_font = font;
        m_fonts = { QRawFont::fromFont(font) };
        m_resolved.clear();
        const QFontMetrics metrics(font);
        m_lineHeight = std::max(1, metrics.lineSpacing());
        m_ascent = metrics.ascent();
        // Whole pixels keep every column on the same raster as the first.
        const QList<quint32> zero = m_fonts[0].glyphIndexesForString(QStringLiteral("0"));
        const qreal advance = zero.isEmpty()
            ? metrics.horizontalAdvance(u'0')
            : m_fonts[0].advancesForGlyphIndexes(zero).value(0).x();
        m_cellWidth = std::max<qreal>(1, std::round(advance));
        m_pictures.setGeometry(font, int(m_cellWidth), m_lineHeight);
    }
    for (int b = 0; b < 256; ++b)
        m_byteGlyphs[b] = resolve(rendering.symbol(static_cast<unsigned char>(b)));
    for (int n = 0; n < 16; ++n)
        m_hexGlyphs[n] = resolve(TrafficRendering::hexDigit(n));
}

void TrafficGlyphs::beginFrame()
{
    m_runs.resize(m_fonts.size() * 2);
    for (Run &run : m_runs) {
        run.indexes.clear();
        run.positions.clear();
    }
    m_pictureCells.clear();
}

void TrafficGlyphs::add(const Glyph &glyph, QPointF baseline, bool selected)
{
    if (glyph.picture) {
        m_pictureCells.push_back({ glyph.picture, baseline - QPointF(0, m_ascent), selected });
        return;
    }
    if (glyph.font < 0)
        return;
    Run &run = m_runs[size_t(glyph.font) * 2 + (selected ? 1 : 0)];
    run.indexes.append(glyph.index);
    run.positions.append(QPointF(baseline.x() + glyph.offset, baseline.y()));
}

void TrafficGlyphs::drawFrame(QPainter &painter, const QPalette &colors)
{
    const QColor text = colors.color(QPalette::Text);
    const QColor selectedText = colors.color(QPalette::HighlightedText);
    for (size_t i = 0; i < m_runs.size(); ++i) {
        const Run &run = m_runs[i];
        if (run.indexes.isEmpty())
            continue;
        QGlyphRun glyphs;
        glyphs.setRawFont(m_fonts[i / 2]);
        glyphs.setGlyphIndexes(run.indexes);
        glyphs.setPositions(run.positions);
        painter.setPen(i % 2 ? selectedText : text);
        painter.drawGlyphRun(QPointF(0, 0), glyphs);
    }
    const ControlPictures::Colors plain = ControlPictures::plain();
    const ControlPictures::Colors selected = ControlPictures::selected(
        colors.color(QPalette::Highlight), colors.color(QPalette::HighlightedText));
    for (const PictureCell &cell : m_pictureCells) {
        painter.drawImage(
            cell.topLeft, m_pictures.image(QChar(cell.picture), cell.selected ? selected : plain));
    }
}

TrafficGlyphs::Glyph TrafficGlyphs::resolve(QChar ch)
{
    if (ch.isSpace())
        return {};
    // Drawn by ControlPictures always, so that every view and entry shows a
    // control code the same way whatever fonts the system has.
    if (ControlPictures::covers(ch))
        return { -1, 0, 0, ch.unicode() };
    const auto known = m_resolved.constFind(ch.unicode());
    if (known != m_resolved.cend())
        return *known;
    Glyph glyph;
    const QRawFont &primary = m_fonts[0];
    const QList<quint32> indexes = primary.supportsCharacter(ch)
        ? primary.glyphIndexesForString(QString(ch))
        : QList<quint32>();
    if (!indexes.isEmpty() && indexes[0] != 0)
        glyph = { 0, indexes[0], 0 };
    else
        glyph = resolveByFallback(ch);
    m_resolved.insert(ch.unicode(), glyph);
    return glyph;
}

TrafficGlyphs::Glyph TrafficGlyphs::resolveByFallback(QChar ch)
{
    for (size_t i = 1; i < m_fonts.size(); ++i) {
        if (m_fonts[i].supportsCharacter(ch))
            return glyphFrom(m_fonts[i], m_fonts[i].glyphIndexesForString(QString(ch)).value(0));
    }
    // Laying the character out alone lets Qt's font matching pick the fallback.
    QTextLayout layout(QString(ch), m_font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun &run : layout.glyphRuns()) {
        if (!run.glyphIndexes().isEmpty() && run.glyphIndexes()[0] != 0)
            return glyphFrom(run.rawFont(), run.glyphIndexes()[0]);
    }
    return {};
}

TrafficGlyphs::Glyph TrafficGlyphs::glyphFrom(const QRawFont &raw, quint32 index)
{
    const qreal advance = raw.advancesForGlyphIndexes({ index }).value(0).x();
    return { fontIndex(raw), index, std::max<qreal>(0, (m_cellWidth - advance) / 2) };
}

int TrafficGlyphs::fontIndex(const QRawFont &raw)
{
    const auto it = std::find(m_fonts.begin(), m_fonts.end(), raw);
    if (it != m_fonts.end())
        return int(it - m_fonts.begin());
    m_fonts.push_back(raw);
    return int(m_fonts.size()) - 1;
}
