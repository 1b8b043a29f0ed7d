#include "childwindow.h"

#include "twips.h"

#include <QApplication>
#include <QMdiSubWindow>

ChildWindow::ChildWindow(Module1 &state, int positionIndex, QWidget *parent)
    : ChildWindow(state, parent)
{
    m_positionIndex = positionIndex;
}

ChildWindow::ChildWindow(Module1 &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    // The windows were laid out in twips for an 8-point sans serif face; a
    // larger desktop font would not fit the designed sizes. Liberation Sans
    // has the metrics of the face the layouts were made for.
    QFont designFont;
    // untranslated: font family names
    designFont.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
        QStringLiteral("Arial") }); // untranslated: font family names
    designFont.setPointSizeF(8.25);
    setFont(designFont);
}

QPoint ChildWindow::storedPlace() const
{
    if (m_positionIndex < 0)
        return {};
    return QPoint(m_state.WindowLeft[m_positionIndex], m_state.WindowTop[m_positionIndex]);
}

void ChildWindow::storePlace(QPoint twips)
{
    if (m_positionIndex < 0)
        return;
    m_state.WindowLeft[m_positionIndex] = twips.x();
    m_state.WindowTop[m_positionIndex] = twips.y();
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

void ChildWindow::setGeometryTwips(QWidget *control, int left, int top, int width, int height) const
{
    const int dx = logicalDpiX();
    const int dy = logicalDpiY();
    control->setGeometry(Twips::toPixels(left, dx), Twips::toPixels(top, dy),
        Twips::toPixels(width, dx), Twips::toPixels(height, dy));
}

void ChildWindow::takeFocus()
{
    // The first time, the designed first control; later, whatever the user
    // left the focus on. Activating an MDI frame restores a focus of its own
    // choosing, so this runs after it and has the last word.
    QWidget *last = focusWidget();
    const bool lastUsable = last && last->isVisibleTo(this) && last->isEnabled();
    QWidget *target = m_focusedBefore && lastUsable ? last : firstControl();
    m_focusedBefore = true;
    if (target && QApplication::focusWidget() != target)
        target->setFocus(Qt::ActiveWindowFocusReason);
}

QWidget *ChildWindow::firstControl() const
{
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()
            && w->isVisibleTo(this))
            return w;
    }
    return nullptr;
}
