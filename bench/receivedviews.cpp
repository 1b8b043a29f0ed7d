#include "receivedviews.h"

#include "traffic/trafficlog.h"
#include "windows/trafficview/trafficview.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

ReceivedViews::ReceivedViews()
{
    m_log = new TrafficLog(&m_window);
    m_text = new TrafficView(&m_window);
    m_hex = new TrafficView(&m_window);
    m_text->setLog(m_log, TrafficView::Rendering::Characters);
    m_text->setZeroByte(TrafficView::ZeroByte::FullStop);
    m_hex->setLog(m_log, TrafficView::Rendering::Hex);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(236, 242, 239));
    auto *layout = new QVBoxLayout(&m_window);
    for (TrafficView *view : { m_text, m_hex }) {
        view->setFont(font);
        view->setPalette(palette);
        view->viewport()->installEventFilter(this);
    }
    layout->addWidget(m_text, 1);
    layout->addWidget(new QLabel(QStringLiteral("Hexdarstellung")));
    layout->addWidget(m_hex, 1);
    m_window.resize(520, 400);
    m_window.show();
    QApplication::processEvents();
}

ReceivedViews::~ReceivedViews() = default;

void ReceivedViews::receive(QByteArrayView bytes)
{
    m_log->append(bytes);
    m_text->moveCaretToEnd();
}

bool ReceivedViews::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++m_frames;
    return QObject::eventFilter(watched, event);
}
