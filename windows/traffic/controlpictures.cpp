#include "controlpictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>

namespace {

constexpr char16_t kFirst = 0x2400;
constexpr char16_t kLast = 0x2421;

constexpr std::array<const char *, kLast - kFirst + 1> kNames = { "NUL", "SOH", "STX", "ETX", "EOT",
    "ENQ", "ACK", "BEL", "BS", "HT", "LF", "VT", "FF", "CR", "SO", "SI", "DLE", "DC1", "DC2", "DC3",
    "DC4", "NAK", "SYN", "ETB", "CAN", "EM", "SUB", "ESC", "FS", "GS", "RS", "US", "SP", "DEL" };

} // namespace

bool ControlPictures::covers(QChar symbol)
{
    return symbol.unicode() >= kFirst && symbol.unicode() <= kLast;
}

void ControlPictures::setGeometry(const QFont &font, int cellWidth, int lineHeight)
{
    m_font = font;
    m_cellWidth = std::max(1, cellWidth);
    m_lineHeight = std::max(1, lineHeight);
    m_cache.clear();
}

const QImage &ControlPictures::image(QChar symbol, const QColor &color)
{
    const quint64 key = quint64(symbol.unicode()) << 32 | color.rgba();
    auto it = m_cache.find(key);
    if (it == m_cache.end())
        it = m_cache.insert(key, draw(symbol, color));
    return *it;
}

QImage ControlPictures::draw(QChar symbol, const QColor &color) const
{
    QImage picture(m_cellWidth, m_lineHeight, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    if (!covers(symbol))
        return picture;
    const QString name = QString::fromLatin1(kNames[symbol.unicode() - kFirst]);
    QFont small(m_font);
    small.setPixelSize(std::max(5, m_lineHeight * 9 / 20));
    const QFontMetrics metrics(small);
    const int letterWidth = metrics.horizontalAdvance(u'M');
    const int steps = int(name.size()) - 1;
    const int top = metrics.ascent();
    const int bottom = m_lineHeight - metrics.descent();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(small);
    painter.setPen(color);
    for (int i = 0; i <= steps; ++i) {
        const int x = steps ? i * std::max(0, m_cellWidth - letterWidth) / steps : 0;
        const int y = steps ? top + i * (bottom - top) / steps : bottom;
        painter.drawText(QPoint(x, y), name.at(i));
    }
    return picture;
}
