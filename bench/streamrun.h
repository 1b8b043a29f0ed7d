#pragma once

#include "streamshape.h"

#include <QElapsedTimer>
#include <QList>
#include <functional>

// Streams a shape's bytes to a sink from the event loop, one chunk per turn of
// the loop, and measures what the receiving side makes of it: the rate over
// time in segments (does it fall as the receiver fills?), how late a 16 ms
// timer in the same thread comes, and how much resident memory the run adds.
//
// The sink may be a log behind views in this process, or the writing end of a
// pseudo-terminal whose reading end the program under test drains; in that
// case the bytes are counted where they arrive, through setDeliveredCounter().
class StreamRun
{
public:
    // Offers bytes; returns how many it took (a full pty takes fewer).
    using Sink = std::function<qint64(QByteArrayView)>;
    using Counter = std::function<qint64()>;

    struct Result
    {
        qint64 bytes = 0;
        double seconds = 0;
        QList<double> segmentRates; // MB/s for each segment, in order
        double latenessP99 = 0; // ms
        double latenessMax = 0; // ms
        qint64 residentGrowth = 0; // bytes
        double megabytesPerSecond() const { return seconds > 0 ? bytes / 1e6 / seconds : 0; }
    };

    StreamRun(const StreamShape &shape, qint64 total);

    void setChunkSize(qint64 bytes) { m_chunk = bytes; }
    void setSegmentSize(qint64 bytes) { m_segment = bytes; }
    // Where delivered bytes are counted; by default what the sink took.
    void setDeliveredCounter(Counter counter) { m_delivered = std::move(counter); }

    Result run(const Sink &sink);

private:
    const StreamShape &m_shape;
    qint64 m_total = 0;
    qint64 m_chunk = 4096;
    qint64 m_segment = 16 << 20;
    Counter m_delivered;
};
