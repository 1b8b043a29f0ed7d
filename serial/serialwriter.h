#pragma once

#include "outputqueue.h"

#include <QObject>

class QSocketNotifier;

// Passes the bytes handed to the port on to the open device as its driver
// takes them: written straight to the descriptor, without a buffer of Qt's in
// between, so that "passed on" means taken by the driver and a piece still
// queued can be taken back whole (a file send that is cancelled).
//
// The descriptor must be non-blocking. Writing waits for the driver's room on
// the event loop and never blocks the program.
class SerialWriter : public QObject
{
    Q_OBJECT

public:
    explicit SerialWriter(QObject *parent = nullptr);
    ~SerialWriter() override;

    // Starts writing to fd, a device just opened; detach() before it closes.
    void attach(int fd);
    void detach();

    // Queues the bytes without copying them; returns the position of their
    // first byte (see OutputQueue).
    qint64 enqueue(const QByteArray &bytes);
    // Drops what has not left of the piece queued at start; returns how many bytes went.
    qint64 dropPiece(qint64 start);
    void clear();
    // While held, queued bytes stay queued (a BREAK on the line).
    void setHeld(bool held);

    qint64 pending() const { return m_queue.size(); }
    // Bytes the driver has taken so far.
    qint64 passedOn() const { return m_queue.taken(); }
    qint64 end() const { return m_queue.end(); }

Q_SIGNALS:
    // The driver took more bytes; total counts all it has taken.
    void bytesPassedOn(qint64 total);
    // A write failed for a reason other than a full driver (errno); the
    // writer has stopped and keeps its queue.
    void failed(int error);

private:
    void onWritable();
    void updateNotifier();

    int m_fd = -1;
    bool m_held = false;
    QSocketNotifier *m_notifier = nullptr;
    OutputQueue m_queue;
};
