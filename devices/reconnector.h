#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class MSComm;

// Waits for a lost device to come back and reopens it with the same port,
// settings and input mode. The device is looked for under the port object's
// returnPath(): a by-id name or a link follows the device to whatever node it
// gets, so a device that returns as ttyUSB1 is found as well as one that
// returns as ttyUSB0.
//
// While waiting, a coarse timer looks twice a second whether the path leads
// to a device, which costs a stat() call and nothing else; it runs only while
// waiting. A device that is there but cannot be opened yet (udev has not yet
// given it its group) is tried again at the next look. A port on a serial
// server is connected again at each look until the server accepts.
class Reconnector : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLookIntervalMs = 500;

    explicit Reconnector(MSComm &comm, QObject *parent = nullptr);

    // After the port object reported a connection loss.
    void startWaiting();
    // The user ended the wait, or connected anew; a connection under way is
    // given up.
    void stopWaiting();
    bool isWaiting() const { return m_timer.isActive(); }
    // The path waited for; empty while not waiting.
    QString awaitedPath() const { return isWaiting() ? m_path : QString(); }
    int lookInterval() const { return m_timer.interval(); }

Q_SIGNALS:
    // The device is back and open again.
    void reconnected();
    // The wait ended without the device: stopWaiting() while waiting.
    void waitingStopped();

private:
    void look();
    void finish();

    MSComm &m_comm;
    QTimer m_timer;
    QString m_path;
};
