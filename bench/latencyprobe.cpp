#include "latencyprobe.h"

#include <algorithm>
#include <cmath>

LatencyProbe::LatencyProbe(QObject *parent)
    : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &LatencyProbe::tick);
}

void LatencyProbe::start()
{
    m_lateness.clear();
    m_clock.start();
    m_last = 0;
    m_timer.start();
}

void LatencyProbe::stop()
{
    m_timer.stop();
}

double LatencyProbe::percentile(double p) const
{
    if (m_lateness.isEmpty())
        return 0;
    QList<double> sorted = m_lateness;
    std::sort(sorted.begin(), sorted.end());
    const auto index = qsizetype(std::ceil(p / 100 * double(sorted.size()))) - 1;
    return sorted[std::clamp<qsizetype>(index, 0, sorted.size() - 1)];
}

void LatencyProbe::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    const double interval = double(now - m_last) / 1e6;
    m_last = now;
    m_lateness.append(std::max(0.0, interval - kIntervalMs));
}
