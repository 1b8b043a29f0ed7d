#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMdiArea;
class QMenu;

// Below its own commands the window menu lists the child windows shown at
// the moment, the active one checked; choosing one brings it to the front.
// The list is made anew each time the menu opens, so it never goes stale.
class WindowList : public QObject
{
    Q_OBJECT

public:
    // Lives as long as the menu.
    WindowList(QMenu &menu, QMdiArea &area);

private:
    void fill();

    QMenu &m_menu;
    QMdiArea &m_area;
    QList<QAction *> m_actions;
};
