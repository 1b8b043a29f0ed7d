#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

// A 16 ms timer in the thread under test that records how late each of its
// ticks comes: what a user feels as a window that stops answering.
class LatencyProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 16;

    explicit LatencyProbe(QObject *parent = nullptr);

    void start();
    void stop();
    qsizetype ticks() const { return m_lateness.size(); }
    // Lateness in milliseconds at the given percentile (0 to 100).
    double percentile(double p) const;

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    QList<double> m_lateness;
};
