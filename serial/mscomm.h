#pragma once

#include "commerror.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QSerialPort;

// The program's one serial-port object, modelled on a classic serial
// communications control: select a port with CommPort, give the line
// parameters as a Settings text, open and close with setPortOpen, hand bytes
// to Output and take what arrived with Input when OnComm reports it.
//
// Driven by the Qt event loop. Received bytes are kept without limit until
// Input takes them, so nothing is lost while a handler or a modal box runs.
// Output queues and returns at once; the bytes leave in order, unchanged.
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
    [[nodiscard]] CommResult setSettings(const QString &settings);

    int InputMode() const { return m_inputMode; }
    void setInputMode(int mode) { m_inputMode = mode; }

    bool PortOpen() const;
    [[nodiscard]] CommResult setPortOpen(bool open);

    // Queues the bytes for sending. Fails only when the port is closed.
    [[nodiscard]] CommResult Output(const QByteArray &bytes);
    // Everything received and not yet taken, in order of arrival.
    QByteArray Input();
    qint64 bytesToWrite() const;

    int CommEvent() const { return m_commEvent; }

    // The device path COMn stands for (see ComPortMap).
    QString devicePath() const;

Q_SIGNALS:
    void OnComm();
    // The device went away while open (adapter pulled, far end of a pty
    // closed). The port has been closed already; emitted once per loss.
    void connectionLost();

protected:
    // For tests of events a pseudo-terminal cannot produce (a hardware overrun).
    void raiseCommEvent(int event);

private:
    void onReadyRead();
    void onErrorOccurred(int error);
    CommResult openPort();
    void closePort();

    std::unique_ptr<QSerialPort> m_port;
    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    int m_inputMode = 0;
    int m_commEvent = 0;
};
