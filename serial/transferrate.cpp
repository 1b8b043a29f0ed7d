#include "transferrate.h"

#include "text/bytecount.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

void TransferRate::add(qint64 msecs, qint64 done)
{
    if (m_firstMsecs < 0)
        m_firstMsecs = msecs;
    m_samples.push_back({ msecs, done });
    // One sample older than the window stays, so that the window is covered whole.
    while (m_samples.size() > 2 && m_samples[1].msecs <= msecs - kWindowMsecs)
        m_samples.pop_front();
}

std::optional<double> TransferRate::bytesPerSecond() const
{
    if (m_samples.size() < 2 || m_samples.back().msecs - m_firstMsecs < kSteadyMsecs)
        return std::nullopt;
    const Sample &from = m_samples.front();
    const Sample &to = m_samples.back();
    if (to.msecs <= from.msecs)
        return std::nullopt;
    return double(to.done - from.done) * 1000.0 / double(to.msecs - from.msecs);
}

std::optional<qint64> TransferRate::secondsLeft(qint64 total) const
{
    const std::optional<double> rate = bytesPerSecond();
    if (!rate || *rate <= 0)
        return std::nullopt;
    return qint64(std::ceil(double(std::max<qint64>(total - m_samples.back().done, 0)) / *rate));
}

QString TransferRate::text(qint64 total) const
{
    const std::optional<double> rate = bytesPerSecond();
    if (!rate)
        return {};
    //: Transfer speed; %1 is a number of bytes per second
    const QString speed = QCoreApplication::translate("TransferRate", "%1 Bytes/s")
                              .arg(ByteCount::number(qint64(*rate)));
    const std::optional<qint64> left = secondsLeft(total);
    if (!left)
        //: %1 is the transfer speed ("640 Bytes/s"); nothing has moved for a while
        return QCoreApplication::translate("TransferRate", "%1, steht still").arg(speed);
    //: %1 is the transfer speed ("640 Bytes/s"), %2 the time still needed ("33 s", "4 min")
    return QCoreApplication::translate("TransferRate", "%1, noch etwa %2")
        .arg(speed, duration(*left));
}

QString TransferRate::duration(qint64 seconds)
{
    if (seconds < 100)
        //: A duration in seconds, abbreviated
        return QCoreApplication::translate("TransferRate", "%1 s").arg(seconds);
    const qint64 minutes = (seconds + 59) / 60;
    if (minutes < 100)
        //: A duration in minutes, abbreviated
        return QCoreApplication::translate("TransferRate", "%1 min").arg(minutes);
    //: A duration in hours, abbreviated
    return QCoreApplication::translate("TransferRate", "%1 h").arg((minutes + 59) / 60);
}
