#pragma once

#include "routinessettings.h"

#include <QObject>
#include <cstdint>
#include <functional>

class QSocketNotifier;

// One automation button's commands on a timer: sent at once when started,
// then at start + k × interval for as long as the count allows or until
// stopped. The schedule is the kernel's (a timerfd on the monotonic clock),
// so a late turn of the event loop delays one send but never moves the ones
// after it, and the time between ticks is kept to the nanosecond rather than
// rounded to the event loop's milliseconds.
//
// A slot whose send cannot go (the previous one still waits to leave, or the
// loop was held up past a whole slot) is skipped and counted, never sent
// late in a bunch: a repeat faster than the line would otherwise pile up
// without end.
class RepeatRun : public QObject
{
    Q_OBJECT

public:
    enum class Attempt {
        Sent,
        // Nothing went this time; the run goes on.
        Skipped,
        // Nothing can go any more (the commands were emptied): the run ends.
        Refused,
    };
    using Send = std::function<Attempt()>;

    explicit RepeatRun(Send send, QObject *parent = nullptr);
    ~RepeatRun() override;

    // Sends the first time and, unless that ended the run, arms the clock.
    // A run under way starts again from nothing.
    void start(RoutinesSettings::Repeat repeat);
    void stop();

    bool isRunning() const { return m_running; }
    // Of the current or the last run.
    int sent() const { return m_sent; }
    qint64 skipped() const { return m_skipped; }

Q_SIGNALS:
    // A send, a skip, a start or an end.
    void changed();

private:
    void onDue();
    void attempt();
    // origin: the schedule's slot 0 on the monotonic clock, in nanoseconds.
    bool arm(int intervalMs, std::int64_t origin);

    Send m_send;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    bool m_running = false;
    int m_count = 0;
    int m_sent = 0;
    qint64 m_skipped = 0;
};
