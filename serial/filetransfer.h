#pragma once

#include "commerror.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class MSComm;

// A file on its way out of the port: how much of it has left, and its end.
// The whole file is handed to the port at once. What has left is what the
// driver took less what it still holds, where the driver tells (a UART, a USB
// adapter); a pty does not, and there it is what the driver took. One file at
// a time.
class FileTransfer : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Sent, Cancelled, PortClosed, DeviceLost };
    // Why nothing leaves while flow control holds the line: CTS is off, or
    // with XON/XOFF nothing has left for a while, which the far end's XOFF
    // does (the driver takes that byte in and tells nobody).
    enum class Hold { None, ClearToSendOff, XoffReceived };

    explicit FileTransfer(MSComm &comm, QObject *parent = nullptr);

    // Hands the bytes to the port. An empty file is sent at once and reports
    // nothing. Fails as Output fails (a closed port).
    [[nodiscard]] CommResult start(const QString &name, const QByteArray &bytes);
    // Takes back what has not left: the rest of the queue, and what the
    // driver holds of this file when it holds nothing else.
    void cancel();

    bool isRunning() const { return m_running; }
    QString name() const { return m_name; }
    qint64 total() const { return m_total; }
    qint64 sent() const;
    // Whole per cent sent, rounded down so that 100 means all of it.
    int percent() const;
    Hold hold() const { return m_hold; }

Q_SIGNALS:
    void progressed(qint64 sent, qint64 total);
    void finished(FileTransfer::Outcome outcome);
    void holdChanged(FileTransfer::Hold hold);

private:
    void onProgress();
    void finish(Outcome outcome, qint64 sentAtEnd);
    void updateHold();

    MSComm &m_comm;
    bool m_running = false;
    QString m_name;
    qint64 m_start = 0;
    qint64 m_total = 0;
    qint64 m_reported = -1;
    // Frozen when the transfer ends, since the port's positions move on.
    qint64 m_sentAtEnd = 0;
    // The driver sends what it holds without a word to the program: while a
    // file is under way its count is looked at a few times a second.
    QTimer m_drainWatch;
    Hold m_hold = Hold::None;
    // Since the count last moved.
    QElapsedTimer m_sinceMove;
};
