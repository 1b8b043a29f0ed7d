#include "framewatch.h"

#include <QEvent>

void FrameWatch::watchShowing(QObject *viewport, std::function<qint64()> logSize)
{
    m_showing = viewport;
    m_logSize = std::move(logSize);
    watch(viewport);
}

void FrameWatch::watch(QObject *widget)
{
    m_paints.insert(widget, 0);
}

void FrameWatch::reset()
{
    for (qint64 &count : m_paints)
        count = 0;
    m_pending.clear();
    m_latencies.clear();
    m_reads = 0;
    m_frames = 0;
}

void FrameWatch::read(qint64 logSize)
{
    if (!m_clock.isValid())
        m_clock.start();
    ++m_reads;
    m_pending.push_back({ m_clock.nsecsElapsed(), logSize });
}

bool FrameWatch::notify(QObject *receiver, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        const auto counted = m_paints.find(receiver);
        if (counted != m_paints.end()) {
            ++*counted;
            m_painted = true;
            if (receiver == m_showing)
                m_shownSize = m_logSize();
        }
    }
    ++m_depth;
    const bool handled = QApplication::notify(receiver, event);
    --m_depth;
    if (m_depth == 0 && m_painted)
        frameDone();
    return handled;
}

void FrameWatch::frameDone()
{
    m_painted = false;
    ++m_frames;
    if (m_shownSize < 0)
        return;
    const qint64 now = m_clock.isValid() ? m_clock.nsecsElapsed() : 0;
    while (!m_pending.empty() && m_pending.front().logSize <= m_shownSize) {
        m_latencies.append(double(now - m_pending.front().nanoseconds) / 1e6);
        m_pending.pop_front();
    }
    m_shownSize = -1;
}
