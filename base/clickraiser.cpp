#include "clickraiser.h"

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

ClickRaiser::ClickRaiser(QMdiArea &area, QObject *parent)
    : QObject(parent)
    , m_area(area)
{
    qApp->installEventFilter(this);
}

bool ClickRaiser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    if (!watched->isWidgetType())
        return false;
    for (auto *w = static_cast<QWidget *>(watched); w; w = w->parentWidget()) {
        auto *frame = qobject_cast<QMdiSubWindow *>(w);
        if (frame && frame->mdiArea() == &m_area) {
            const QList<QMdiSubWindow *> stack = m_area.subWindowList(QMdiArea::StackingOrder);
            if (!stack.isEmpty() && stack.constLast() != frame)
                frame->raise();
            break;
        }
        if (w->isWindow())
            break;
    }
    return false;
}
