#pragma once

#include "commerror.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class MSComm;

// A file on its way out of the port: how much of it the driver has taken,
// and its end. The whole file is handed to the port at once; its progress is
// read from the port's output positions, so it counts what has really been
// passed on and nothing else. One file at a time.
class FileTransfer : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Sent, Cancelled, PortClosed, DeviceLost };

    explicit FileTransfer(MSComm &comm, QObject *parent = nullptr);

    // Hands the bytes to the port. An empty file is sent at once and reports
    // nothing. Fails as Output fails (a closed port).
    [[nodiscard]] CommResult start(const QString &name, const QByteArray &bytes);
    // Takes back what has not left yet; bytes the driver holds may still go.
    void cancel();

    bool isRunning() const { return m_running; }
    QString name() const { return m_name; }
    qint64 total() const { return m_total; }
    qint64 sent() const;
    // Whole per cent sent, rounded down so that 100 means all of it.
    int percent() const;

Q_SIGNALS:
    void progressed(qint64 sent, qint64 total);
    void finished(FileTransfer::Outcome outcome);

private:
    void onPassedOn();
    void finish(Outcome outcome);

    MSComm &m_comm;
    bool m_running = false;
    QString m_name;
    qint64 m_start = 0;
    qint64 m_total = 0;
    // Frozen when the transfer ends, since the port's positions move on.
    qint64 m_sentAtEnd = 0;
};
