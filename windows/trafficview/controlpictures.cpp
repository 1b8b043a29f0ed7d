#include "controlpictures.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr char16_t kFirst = 0x2400;
constexpr char16_t kLast = 0x2421;
constexpr char16_t kNul = 0x2400;
constexpr char16_t kEsc = 0x241B;
constexpr char16_t kSpace = 0x2420;
constexpr char16_t kDel = 0x2421;

// The largest square that fits the cell, centred, a little inside its edge.
QRectF markSquare(const QRectF &cell)
{
    const qreal side = std::min(cell.width(), cell.height()) - 1.5;
    return QRectF(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side);
}

void drawNul(QPainter &painter, const QRectF &cell)
{
    const QRectF square = markSquare(cell);
    painter.drawEllipse(square.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.drawLine(square.bottomLeft(), square.topRight());
}

void drawEsc(QPainter &painter, const QRectF &cell)
{
    // The arrow of the escape sign, out to the upper left; its circle would
    // only blur at this size.
    const QRectF square = markSquare(cell);
    const QPointF tip = square.topLeft();
    painter.drawLine(square.bottomRight(), tip);
    const qreal head = square.width() / 2;
    painter.drawLine(tip, tip + QPointF(head, 0));
    painter.drawLine(tip, tip + QPointF(0, head));
}

void drawDel(QPainter &painter, const QRectF &cell)
{
    const QRectF square = markSquare(cell);
    painter.drawLine(square.topLeft(), square.bottomRight());
    painter.drawLine(square.bottomLeft(), square.topRight());
}

} // namespace

bool ControlPictures::covers(QChar symbol)
{
    return symbol.unicode() >= kFirst && symbol.unicode() <= kLast;
}

ControlPictures::Colors ControlPictures::plain()
{
    // Amber: apart from the text and from the blue of a selection.
    return { QColor(255, 214, 150), QColor(110, 52, 0) };
}

ControlPictures::Colors ControlPictures::selected(
    const QColor &highlight, const QColor &highlightedText)
{
    return { highlightedText, highlight.darker(140) };
}

void ControlPictures::setGeometry(const QFont &font, int cellWidth, int lineHeight)
{
    m_font = font;
    m_cellWidth = std::max(1, cellWidth);
    m_lineHeight = std::max(1, lineHeight);
    m_cache.clear();
}

const QImage &ControlPictures::image(QChar symbol, const Colors &colors)
{
    const quint64 key
        = quint64(symbol.unicode()) << 48 ^ quint64(colors.cell.rgba()) << 24 ^ colors.mark.rgba();
    auto it = m_cache.find(key);
    if (it == m_cache.end())
        it = m_cache.insert(key, draw(symbol, colors));
    return *it;
}

QImage ControlPictures::draw(QChar symbol, const Colors &colors) const
{
    QImage picture(m_cellWidth, m_lineHeight, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    paint(painter, QRectF(0, 0, m_cellWidth, m_lineHeight), symbol, colors, m_font);
    return picture;
}

void ControlPictures::paint(QPainter &painter, const QRectF &area, QChar symbol,
    const Colors &colors, const QFont &textFont)
{
    const char16_t code = symbol.unicode();
    if (!covers(symbol) || code == kSpace)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // A gap on either side keeps a run of codes apart, cell by cell.
    const QRectF cell = area.adjusted(0.75, 1.0, -0.75, -1.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colors.cell);
    painter.drawRoundedRect(cell, 2, 2);

    QPen pen(colors.mark, std::max(1.2, area.height() / 10.0));
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    if (code == kNul) {
        drawNul(painter, cell);
    } else if (code == kEsc) {
        drawEsc(painter, cell);
    } else if (code == kDel) {
        drawDel(painter, cell);
    } else {
        // Caret notation: the code plus 40h, ^A for 01 up to ^_ for 1F. A
        // little smaller than the text and bold, so that the letter keeps
        // clear of the cell's edge and reads as a sign rather than as text.
        QFont mark = textFont;
        mark.setBold(true);
        mark.setPixelSize(std::max(6, int(area.height() * 0.7)));
        painter.setFont(mark);
        painter.drawText(cell, Qt::AlignCenter, QString(QChar(char16_t(code - kFirst + 0x40))));
    }
    painter.restore();
}
