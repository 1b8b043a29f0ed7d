#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

// One clock for the frames of every traffic view of the program. A view that
// has something new to show asks for the next tick; all views that asked are
// brought up to date at that one tick, so that the views of a window are
// painted and sent to the screen together, once per frame rather than once
// per view.
//
// A request names how soon it must be shown: an answer to the user (a click,
// a key, scrolling) within a display refresh; data streaming in at a pace
// that reads as fluid but costs less than half as many frames; and what only
// has to settle (a scroll bar following a growing log) a few times a second.
class FrameClock : public QObject
{
    Q_OBJECT

public:
    enum class Pace { Interactive, Stream, Settle };

    static FrameClock &instance();

    // Calls frame() once at the next tick. Asking again before the tick adds
    // nothing but may bring the tick forward.
    void request(QObject *owner, const std::function<void()> &frame, Pace pace);

    static int intervalMs(Pace pace);
    // Whether a tick is due: false while no view has anything to show.
    bool isWaiting() const { return m_timer.isActive(); }

private:
    FrameClock();
    void tick();

    struct Waiting
    {
        QPointer<QObject> owner;
        std::function<void()> frame;
    };

    QTimer m_timer;
    QElapsedTimer m_lastTick;
    QList<Waiting> m_waiting;
};
