#include "windowlist.h"

#include "base/childframe.h"
#include "base/childwindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

WindowList::WindowList(QMenu &menu, QMdiArea &area)
    : QObject(&menu)
    , m_menu(menu)
    , m_area(area)
{
    connect(&menu, &QMenu::aboutToShow, this, &WindowList::fill);
}

void WindowList::fill()
{
    qDeleteAll(m_actions);
    m_actions.clear();
    QList<QMdiSubWindow *> shown;
    for (QMdiSubWindow *window : m_area.subWindowList()) {
        if (window->isVisible())
            shown.append(window);
    }
    if (shown.isEmpty())
        return;
    m_actions.append(m_menu.addSeparator());
    int number = 1;
    for (QMdiSubWindow *window : shown) {
        QAction *action
            = m_menu.addAction(QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_area.activeSubWindow());
        connect(action, &QAction::triggered, this, [this, window] {
            if (window->isMinimized())
                window->showNormal();
            m_area.setActiveSubWindow(window);
            if (auto *frame = qobject_cast<ChildFrame *>(window))
                frame->content()->takeFocus();
        });
        m_actions.append(action);
    }
}
