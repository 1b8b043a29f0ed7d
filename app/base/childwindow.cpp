#include "childwindow.h"

#include "twips.h"

#include <QMdiSubWindow>

ChildWindow::ChildWindow(Module1 &state, int positionIndex, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_positionIndex(positionIndex)
{
}

QMdiSubWindow *ChildWindow::frame() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

void ChildWindow::hideWindow()
{
    if (QMdiSubWindow *f = frame())
        f->hide();
    else
        hide();
}

Qt::WindowFlags ChildWindow::frameButtons() const
{
    return Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
}

void ChildWindow::setClientSizeTwips(int width, int height)
{
    setFixedSize(Twips::toPixels(width, logicalDpiX()), Twips::toPixels(height, logicalDpiY()));
}

void ChildWindow::setGeometryTwips(QWidget *control, int left, int top, int width,
                                   int height) const
{
    const int dx = logicalDpiX();
    const int dy = logicalDpiY();
    control->setGeometry(Twips::toPixels(left, dx), Twips::toPixels(top, dy),
                         Twips::toPixels(width, dx), Twips::toPixels(height, dy));
}
