#include "controlcellspacing.h"

#include "windows/trafficview/controlpictures.h"

#include <QFontMetricsF>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

ControlCellSpacing::ControlCellSpacing(QTextDocument *document)
    : QSyntaxHighlighter(document)
{
}

qreal ControlCellSpacing::cellWidth(const QFont &font)
{
    // Wide enough for a capital letter also in a proportional face.
    const QFontMetricsF metrics(font);
    return std::ceil(std::max(
        metrics.horizontalAdvance(QLatin1Char('0')), metrics.horizontalAdvance(QLatin1Char('M'))));
}

qreal ControlCellSpacing::spacingFor(QChar symbol)
{
    const QFont font = document()->defaultFont();
    if (font != m_font) {
        m_font = font;
        m_spacing.clear();
    }
    auto it = m_spacing.constFind(symbol.unicode());
    if (it == m_spacing.cend()) {
        // Laid out as the document lays it out, with the same fallback font.
        QTextLayout layout(QString(symbol), font);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        it = m_spacing.insert(symbol.unicode(), cellWidth(font) - line.cursorToX(1));
    }
    return *it;
}

void ControlCellSpacing::highlightBlock(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!ControlPictures::covers(text[i]))
            continue;
        QTextCharFormat format;
        format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        format.setFontLetterSpacing(spacingFor(text[i]));
        setFormat(int(i), 1, format);
    }
}
