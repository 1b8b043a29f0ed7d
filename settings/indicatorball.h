#pragma once

#include <QColor>
#include <QPixmap>

// The connection indicator: a shaded ball of 34 x 34 pixels on a transparent
// background, grey for "not connected" and red for "connected".
QPixmap indicatorBall(const QColor &colour);
