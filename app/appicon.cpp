#include "appicon.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 86, 140));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);

    // The connector shell: a trapezoid, wider at the top, as a D-sub plug is.
    QPainterPath shell;
    shell.moveTo(8, 20);
    shell.lineTo(56, 20);
    shell.lineTo(50, 46);
    shell.lineTo(14, 46);
    shell.closeSubpath();
    painter.setBrush(QColor(226, 232, 238));
    painter.setPen(QPen(QColor(20, 40, 70), 2));
    painter.drawPath(shell);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(210, 160, 30));
    for (int i = 0; i < 5; ++i)
        painter.drawEllipse(QPointF(16 + 8 * i, 28), 2.6, 2.6);
    for (int i = 0; i < 4; ++i)
        painter.drawEllipse(QPointF(20 + 8 * i, 38), 2.6, 2.6);
    return pixmap;
}

} // namespace

QIcon tavelIcon()
{
    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64 })
        icon.addPixmap(drawIcon(size));
    return icon;
}
