#include "indicatorball.h"

#include <QPainter>
#include <QRadialGradient>

QPixmap indicatorBall(const QColor &colour)
{
    constexpr int kSize = 34;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A highlight up and to the left makes the flat disc read as a ball.
    QRadialGradient shading(QPointF(12, 11), 20, QPointF(10, 9));
    shading.setColorAt(0.0, colour.lighter(180));
    shading.setColorAt(0.45, colour);
    shading.setColorAt(1.0, colour.darker(220));
    painter.setPen(QPen(colour.darker(260), 1));
    painter.setBrush(shading);
    painter.drawEllipse(QRectF(1.5, 1.5, kSize - 3, kSize - 3));
    return pixmap;
}
