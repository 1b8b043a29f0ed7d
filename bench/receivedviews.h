#pragma once

#include <QObject>
#include <QWidget>

class TrafficLog;
class TrafficView;

// The received-data window's two views as the window arranges them: the text
// view above, the hex view below, both over one log, in the window's font and
// size, shown on the (offscreen) screen. Counts the frames the views paint.
class ReceivedViews : public QObject
{
    Q_OBJECT

public:
    ReceivedViews();
    ~ReceivedViews() override;

    TrafficLog *log() const { return m_log; }
    TrafficView *text() const { return m_text; }
    TrafficView *hex() const { return m_hex; }
    QWidget *window() { return &m_window; }
    qint64 frames() const { return m_frames; }

    // What the receive handling does with one read: append, then bring the
    // text view's end into view.
    void receive(QByteArrayView bytes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget m_window;
    TrafficLog *m_log = nullptr;
    TrafficView *m_text = nullptr;
    TrafficView *m_hex = nullptr;
    qint64 m_frames = 0;
};
