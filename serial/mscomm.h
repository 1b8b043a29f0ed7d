#pragma once

#include "commerror.h"
#include "overrunwatch.h"
#include "portlines.h"
#include "serialwriter.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <utility>

class LineSettings;
class NetworkPort;
class OpenPort;
struct NetworkAddress;

// The program's one serial-port object, modelled on a classic serial
// communications control: select a port with CommPort, give the line
// parameters as a Settings text, open and close with setPortOpen, hand bytes
// to Output and take what arrived with Input when OnComm reports it.
//
// Driven by the Qt event loop. Received bytes are kept without limit until
// Input takes them, so nothing is lost while a handler or a modal box runs.
// Output queues and returns at once; the bytes leave in order, unchanged.
//
// Where the driver counts lost bytes (a real UART), a growing count raises
// CommEvent 1006; a pseudo-terminal counts nothing and is not watched.
//
// COMn may also stand for a port on a serial server ("rfc2217://HOST:PORT",
// "tcp://HOST:PORT"). Opening one only starts connecting: setPortOpen(true)
// returns at once, isConnecting() holds until opened() or openFailed(), and
// setPortOpen(false) gives up.
class MSComm : public QObject
{
    Q_OBJECT

public:
    // The codes of CommEvent that the program tells apart.
    static constexpr int comEvReceive = 2;
    static constexpr int comEventOverrun = 1006;
    static constexpr int comEventRxOver = 1008;

    explicit MSComm(QObject *parent = nullptr);
    ~MSComm() override;

    int CommPort() const { return m_commPort; }
    [[nodiscard]] CommResult setCommPort(int port);

    QString Settings() const { return m_settings; }
    // Checks the form and keeps the text for the next opening; on an open port
    // the new parameters take effect at once. A refused text leaves the
    // previous one in force.
    [[nodiscard]] CommResult setSettings(const QString &settings);

    bool PortOpen() const;
    // A port on a serial server is being connected.
    bool isConnecting() const;
    // True opens COMn with the current Settings; on a port that is already
    // open it does nothing and succeeds. False closes; on a closed port it
    // does nothing and succeeds. Received bytes not yet taken are dropped
    // when the port opens or is closed on purpose.
    [[nodiscard]] CommResult setPortOpen(bool open);

    // Queues the bytes for sending and returns at once, however many there
    // are: they are shared, not copied, and passed on as the line drains.
    // Fails when the port is closed (kPortNotOpen). Closing the port drops
    // what has not left.
    [[nodiscard]] CommResult Output(const QByteArray &bytes);
    // Output positions: every byte handed to Output gets the next one, so a
    // caller that notes outputEnd() before its Output knows where its bytes
    // stand; outputPassedOn() counts the bytes the driver has taken.
    qint64 outputEnd() const { return m_writer.end(); }
    qint64 outputPassedOn() const { return m_writer.passedOn(); }
    // Takes back what has not left of the Output that started at the given
    // position; bytes queued after it still go. Returns how many were dropped.
    qint64 dropOutput(qint64 start);
    // Everything received and not yet taken, in order of arrival. After a
    // connection loss it still yields what had arrived before the loss.
    QByteArray Input();
    // Bytes handed to Output that have not yet gone to the driver.
    qint64 bytesToWrite() const;
    // Bytes the driver has taken and not yet sent, where it tells (TIOCOUTQ);
    // 0 while closed and where it does not (a pty says 0).
    qint64 outputInDriver() const;
    // Throws away what the driver holds and has not sent yet (TCOFLUSH), so
    // that nothing more leaves than the hardware has already shifted out. On
    // a pty it goes from the far side's queue, up to what its reader has
    // buffered already.
    void discardOutputInDriver();

    int CommEvent() const { return m_commEvent; }

    // The wires beside the data: DTR, RTS, BREAK, the far end's lines, flow
    // control, and the choices for each port that the next opening applies.
    PortLines &lines() { return m_lines; }
    const PortLines &lines() const { return m_lines; }

    // The device path or network address COMn stands for (see ComPortMap).
    QString devicePath() const;
    // The path the open port was opened under, as configured (a by-id name,
    // a link), and the device node it led to; empty while closed.
    QString openPath() const { return m_openPath; }
    QString openDevice() const { return m_openDevice; }

    // The name under which the open device will come back after a loss:
    // the link it was opened under, else its by-id name when it has one (so
    // that an adapter that returns as ttyUSB1 instead of ttyUSB0 is found),
    // else its path. Kept after the loss; empty before the first opening.
    QString returnPath() const { return m_returnPath; }
    // Opens returnPath() with the current CommPort and Settings; for a
    // server this starts connecting (see opened()).
    // What arrived before the loss and was not yet taken stays, ahead of
    // what the device sends now.
    [[nodiscard]] CommResult reopenAfterLoss();
    // How many bytes handed to Output never left because the device went
    // away; taking the count resets it.
    qint64 takeOutputLostAtLoss() { return std::exchange(m_outputLostAtLoss, 0); }

Q_SIGNALS:
    void OnComm();
    // The driver took more of the queued output (see outputPassedOn).
    void outputPassedOnChanged(qint64 total);
    // The port was closed on purpose; what was queued has been dropped.
    void portClosed();
    // The device went away while open (adapter pulled, far end of a pty
    // closed, server gone). The port has been closed already; emitted once
    // per loss.
    void connectionLost();
    // Connecting to a serial server ended: the port is open, or it stays
    // closed for the reason given.
    void opened();
    void openFailed(const CommError &error);

protected:
    // For tests of events a pseudo-terminal cannot produce (a hardware overrun).
    void raiseCommEvent(int event);
    // The driver's counts of lost bytes for the open device; tests stand in
    // for a driver that keeps them.
    virtual std::optional<SerialErrorCounts> driverErrorCounts() const;

private:
    void onReadyRead();
    CommResult openPort();
    CommResult openPath(const QString &configured);
    // Opens a device node. It alone is locked against other processes (see
    // DeviceClaim).
    CommResult openDevicePath(const QString &configured, const LineSettings &settings);
    void connectToServer(const NetworkAddress &address, const LineSettings &settings);
    void onServerReady(NetworkPort *port);
    // The open port's object is replaced; the old one may be in the middle
    // of a signal and goes later.
    void usePort(std::unique_ptr<OpenPort> port);
    static QString returnPathFor(const QString &configured, const QString &device);
    void closePort();
    // Whether DTR stays on after the port closes, as chosen for it.
    bool keepsDtr() const;
    CommResult applySettings(const LineSettings &settings);
    void handleConnectionLoss();
    void scheduleReceiveEvent();
    void onScheduledReceiveEvent();
    qint64 waitingBytes() const;
    qint64 bytesArrived() const;
    // Drops what is queued; true when anything was.
    bool dropPendingOutput();
    void startOverrunWatch();
    void stopOverrunWatch();
    bool overrunSinceLastLook();
    void onOverrunPoll();

    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    int m_commEvent = 0;
    // The device actually opened, symlinks resolved, and the name it was
    // opened under.
    QString m_openDevice;
    QString m_openPath;
    QString m_returnPath;
    qint64 m_outputLostAtLoss = 0;
    // What was still in the read buffer when the device went away.
    QByteArray m_salvaged;
    // Bytes handed out by Input() so far; with waitingBytes() it tells
    // whether anything arrived while an OnComm handler ran.
    qint64 m_bytesTaken = 0;
    int m_dispatchDepth = 0;
    // Bytes came in while a handler ran and still need their own event.
    bool m_receiveDeferred = false;
    bool m_receiveEventScheduled = false;
    SerialWriter m_writer;
    // After the writer, which a port on a server writes through to its last.
    std::unique_ptr<OpenPort> m_port;
    bool m_connecting = false;
    PortLines m_lines;
    OverrunWatch m_overrunWatch;
    // Overruns without new data (the line went quiet after the loss) are found
    // by a slow poll; it runs only while a watched port is open.
    QTimer m_overrunPoll;
};
