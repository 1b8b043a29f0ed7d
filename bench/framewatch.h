#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <deque>
#include <functional>

// The program's own application object with a watch on the received-data
// window's frames: every event goes through notify(), so the watch sees each
// paint of the widgets it is given and the end of the outermost event that
// led to it (an update request or an expose), which is when Qt has painted
// the frame and handed it to the X server.
//
// A read is shown by the first frame that paints the text view after it: the
// view follows the end of the log, and paints the log as it is at its paint.
class FrameWatch : public QApplication
{
public:
    using QApplication::QApplication;

    // The text view's viewport, and the log size it would show right now.
    void watchShowing(QObject *viewport, std::function<qint64()> logSize);
    // Other widgets whose paints count as frames (the hex view, the scroll bars).
    void watch(QObject *widget);
    void reset();

    // After each read, with the log's size once the read is appended.
    void read(qint64 logSize);

    qint64 reads() const { return m_reads; }
    qint64 frames() const { return m_frames; }
    qint64 paints(QObject *widget) const { return m_paints.value(widget); }
    // ms from a read to the end of the frame that showed it.
    const QList<double> &latencies() const { return m_latencies; }
    qsizetype readsNotShown() const { return qsizetype(m_pending.size()); }

    bool notify(QObject *receiver, QEvent *event) override;

private:
    struct Read
    {
        qint64 nanoseconds;
        qint64 logSize;
    };

    void frameDone();

    QElapsedTimer m_clock;
    QObject *m_showing = nullptr;
    std::function<qint64()> m_logSize;
    QHash<QObject *, qint64> m_paints;
    std::deque<Read> m_pending;
    QList<double> m_latencies;
    qint64 m_reads = 0;
    qint64 m_frames = 0;
    int m_depth = 0;
    bool m_painted = false;
    qint64 m_shownSize = -1;
};
