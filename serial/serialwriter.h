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
//
// A socket to a serial server is written the same way. Where the server
// speaks Telnet, every data byte FF goes out doubled, and the protocol's own
// messages (sendControl) go between the data without splitting any of it;
// positions still count the bytes handed over, not what went on the wire.
class SerialWriter : public QObject
{
    Q_OBJECT

public:
    explicit SerialWriter(QObject *parent = nullptr);
    ~SerialWriter() override;

    enum class Wire {
        Device,
        // A socket: a peer gone is a failure, never a signal.
        Socket,
        // A socket to a Telnet server: data bytes FF are doubled.
        TelnetSocket,
    };

    // Starts writing to fd, a device just opened; detach() before it closes.
    void attach(int fd, Wire wire = Wire::Device);
    void detach();

    // Queues the bytes without copying them; returns the position of their
    // first byte (see OutputQueue).
    qint64 enqueue(const QByteArray &bytes);
    // Drops what has not left of the piece queued at start; returns how many bytes went.
    qint64 dropPiece(qint64 start);
    void clear();
    // While held, queued bytes stay queued (a BREAK on the line).
    void setHeld(bool held);
    // Protocol for the server, sent ahead of the data still queued and even
    // while held (the BREAK itself); dropped by clear() and detach().
    void sendControl(const QByteArray &bytes);

    qint64 pending() const { return m_queue.size(); }
    // Bytes taken from the queue, or protocol, not yet written.
    qint64 staged() const { return m_staged.size() - m_stagedWritten; }
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
    // The first write of bytes queued on an idle line, without waiting for
    // the event loop.
    void writeAtOnce();
    void updateNotifier();
    // Writes what is staged; false when the driver has no room or failed.
    bool writeStaged(int &error);
    ssize_t writeOnce(const char *data, qint64 size);

    int m_fd = -1;
    Wire m_wire = Wire::Device;
    // Escaped data or protocol on its way, written before anything else.
    QByteArray m_staged;
    qint64 m_stagedWritten = 0;
    bool m_held = false;
    QSocketNotifier *m_notifier = nullptr;
    OutputQueue m_queue;
};
