#include "frameclock.h"

#include <algorithm>

namespace {

constexpr int kInteractiveMs = 16;
constexpr int kStreamMs = 40;
constexpr int kSettleMs = 250;

} // namespace

FrameClock &FrameClock::instance()
{
    static FrameClock clock;
    return clock;
}

FrameClock::FrameClock()
{
    m_timer.setSingleShot(true);
    // Precise: a coarse timer may fire up to 5 % late, which at these
    // intervals is a visible stutter.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FrameClock::tick);
}

int FrameClock::intervalMs(Pace pace)
{
    switch (pace) {
    case Pace::Interactive:
        return kInteractiveMs;
    case Pace::Stream:
        return kStreamMs;
    case Pace::Settle:
        break;
    }
    return kSettleMs;
}

void FrameClock::request(QObject *owner, const std::function<void()> &frame, Pace pace)
{
    const bool known = std::any_of(m_waiting.cbegin(), m_waiting.cend(),
        [owner](const Waiting &w) { return w.owner == owner; });
    if (!known)
        m_waiting.append({ owner, frame });
    const qint64 since = m_lastTick.isValid() ? m_lastTick.elapsed() : intervalMs(pace);
    const int due = int(std::max<qint64>(0, intervalMs(pace) - since));
    if (!m_timer.isActive() || m_timer.remainingTime() > due)
        m_timer.start(due);
}

void FrameClock::tick()
{
    m_lastTick.start();
    const QList<Waiting> due = std::exchange(m_waiting, {});
    for (const Waiting &waiting : due) {
        if (waiting.owner)
            waiting.frame();
    }
}
