#include "streamrun.h"

#include "latencyprobe.h"
#include "residentmemory.h"

#include <QEventLoop>
#include <QTimer>

StreamRun::StreamRun(const StreamShape &shape, qint64 total)
    : m_shape(shape)
    , m_total(total)
{
}

StreamRun::Result StreamRun::run(const Sink &sink)
{
    Result result;
    qint64 offered = 0;
    const Counter delivered = m_delivered ? m_delivered : [&offered] { return offered; };
    const qint64 residentBefore = residentBytes();
    LatencyProbe probe;
    QEventLoop loop;
    QTimer feeder;
    QElapsedTimer clock;
    qint64 nextSegment = m_segment;
    qint64 segmentStart = 0;
    QObject::connect(&feeder, &QTimer::timeout, &loop, [&] {
        if (offered < m_total)
            offered += sink(m_shape.bytes(offered, std::min(m_chunk, m_total - offered)));
        const qint64 arrived = delivered();
        while (arrived >= nextSegment && nextSegment <= m_total) {
            const qint64 now = clock.nsecsElapsed();
            result.segmentRates.append(m_segment / 1e6 / (double(now - segmentStart) / 1e9));
            segmentStart = now;
            nextSegment += m_segment;
        }
        if (arrived >= m_total)
            loop.quit();
    });
    clock.start();
    probe.start();
    feeder.start(0);
    loop.exec();
    feeder.stop();
    probe.stop();
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    result.bytes = delivered();
    result.latenessP99 = probe.percentile(99);
    result.latenessMax = probe.percentile(100);
    result.residentGrowth = residentBytes() - residentBefore;
    return result;
}
