#include "childframe.h"

#include "childwindow.h"
#include "twips.h"

#include <QCloseEvent>
#include <algorithm>

ChildFrame::ChildFrame(ChildWindow *content)
    : m_content(content)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(
        Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | content->frameButtons());
    setWidget(content);
    setWindowTitle(content->windowTitle());
    setAccessibleName(content->windowTitle());
}

void ChildFrame::fitToContent()
{
    // The content has the size it was designed with; the frame grows around
    // it by its title bar and borders, known only once the frame is polished.
    ensurePolished();
    const QMargins margins = contentsMargins();
    const QSize size = m_content->size();
    resize(size.width() + margins.left() + margins.right(),
        size.height() + margins.top() + margins.bottom());
}

void ChildFrame::placeFromState()
{
    const QPoint place = m_content->storedPlace();
    m_placedLeft = place.x();
    m_placedTop = place.y();
    const QPoint stored(
        Twips::toPixels(m_placedLeft, logicalDpiX()), Twips::toPixels(m_placedTop, logicalDpiY()));
    m_placedPixels = withinArea(stored);
    move(m_placedPixels);
}

QPoint ChildFrame::withinArea(QPoint place) const
{
    // A place stored on a larger screen, or in a larger main window, would put
    // the window's buttons out of reach: under the status bar or beyond the
    // edge. It moves just enough to lie inside, its title bar first.
    const QWidget *area = parentWidget();
    if (!area)
        return place;
    const QSize room = area->size();
    place.setX(std::max(0, std::min(place.x(), room.width() - width())));
    place.setY(std::max(0, std::min(place.y(), room.height() - height())));
    return place;
}

QPoint ChildFrame::placeInTwips() const
{
    if (pos() == m_placedPixels)
        return QPoint(m_placedLeft, m_placedTop);
    return QPoint(Twips::fromPixels(x(), logicalDpiX()), Twips::fromPixels(y(), logicalDpiY()));
}

void ChildFrame::storeToState()
{
    if (isMinimized() || isMaximized())
        return;
    m_content->storePlace(placeInTwips());
}

void ChildFrame::closeEvent(QCloseEvent *event)
{
    // Unloading never refuses; guard against the second close that Qt sends
    // when the MDI area closes a frame that is already closing.
    if (!m_unloading) {
        m_unloading = true;
        storeToState();
        m_content->Form_Unload();
        Q_EMIT unloaded();
    }
    QMdiSubWindow::closeEvent(event);
    event->accept();
}
