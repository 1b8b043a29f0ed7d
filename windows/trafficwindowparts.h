#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QString>

class ChildWindow;
class QLabel;
class QPushButton;
class TrafficView;

// The received-data and sent-data windows are built alike: a text view over
// the upper half, the caption "Hexdarstellung" and the hex view over the lower
// half, the clear button at the bottom left and "&Schließen" at the bottom
// right. Both views in Courier New 9.75 points on the window's colour.
struct TrafficWindowParts
{
    TrafficView *text = nullptr;
    QLabel *hexCaption = nullptr;
    TrafficView *hex = nullptr;
    QPushButton *clear = nullptr;
    QPushButton *close = nullptr;

    static TrafficWindowParts build(
        ChildWindow *window, const QString &clearCaption, const QColor &background);

private:
    Q_DECLARE_TR_FUNCTIONS(TrafficWindowParts)
};
