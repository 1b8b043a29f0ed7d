#pragma once

#include <QString>
#include <deque>
#include <optional>

// How fast a transfer goes and how long the rest will take, from samples of
// how much had left at which moment. Only the last few seconds count, so a
// device that slows down shows it soon; nothing is told until a few seconds
// are known, as the first moments (a driver filling its buffer) say little.
class TransferRate
{
public:
    static constexpr qint64 kSteadyMsecs = 2000;
    static constexpr qint64 kWindowMsecs = 5000;

    // msecs from any fixed point, never going back; done never shrinks.
    void add(qint64 msecs, qint64 done);

    std::optional<double> bytesPerSecond() const;
    std::optional<qint64> secondsLeft(qint64 total) const;

    // "640 Bytes/s, noch etwa 33 s"; empty until the rate is steady.
    QString text(qint64 total) const;
    // "33 s", "4 min", "2 h": rounded up, so that the end is never later.
    static QString duration(qint64 seconds);

private:
    struct Sample
    {
        qint64 msecs = 0;
        qint64 done = 0;
    };
    std::deque<Sample> m_samples;
    qint64 m_firstMsecs = -1;
};
