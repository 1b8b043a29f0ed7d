#pragma once

#include <QObject>

class QMdiArea;

// Brings a child window of the MDI area to the front when the user presses a
// mouse button anywhere on it, its title bar or its contents.
//
// The MDI area raises a window only as it becomes active. A window loaded on
// first use appears on top but leaves the activation where the user works,
// so the active window may lie covered; a click on it changes no activation
// and, without this, would leave it covered.
class ClickRaiser : public QObject
{
    Q_OBJECT

public:
    // Watches every mouse press of the program; the watch ends with the object.
    explicit ClickRaiser(QMdiArea &area, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMdiArea &m_area;
};
