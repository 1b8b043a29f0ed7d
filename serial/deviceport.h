#pragma once

#include "commerror.h"
#include "overrunwatch.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class LineSettings;
class PortLines;
class QSerialPort;

// A serial device node as the port object reaches it: opened through
// QSerialPort under its real path, made Tavel's alone while open (see
// DeviceClaim), read through QSerialPort, written straight to its
// descriptor by the port object's writer, and closed so that DTR does what
// the user chose. What the port object does above it (events, the output
// queue, the replug wait) is the same for every kind of port.
class DevicePort : public QObject
{
    Q_OBJECT

public:
    explicit DevicePort(QObject *parent = nullptr);
    ~DevicePort() override;

    bool isOpen() const;
    // Opens the device (device: links resolved; configured: as the user
    // named it, for messages). The lines are handed the device right after
    // it opens, before anything else is set.
    [[nodiscard]] CommResult open(
        int commPort, const QString &configured, const QString &device, PortLines &lines);
    // The line parameters; a pseudo-terminal has none and keeps its own.
    [[nodiscard]] CommResult applySettings(int commPort, const LineSettings &settings);
    // Closes on purpose, throwing away what the driver still holds when
    // dropOutput is set; DTR stays on afterwards when keepDtr is set.
    void close(bool dropOutput, bool keepDtr);
    // The device went away: closes without touching its settings.
    void closeLost();

    int descriptor() const;
    QString device() const { return m_device; }
    QByteArray readAll();
    qint64 bytesAvailable() const;
    // Bytes the driver holds and has not sent, where it tells (TIOCOUTQ).
    qint64 outputInDriver() const;
    // Throws away what the driver holds (TCOFLUSH).
    void discardOutputInDriver();
    // The driver's counts of lost bytes, where it keeps them.
    std::optional<SerialErrorCounts> errorCounts() const;

Q_SIGNALS:
    void readyRead();
    // The device went away while open (adapter pulled, far end of a pty
    // closed); call closeLost().
    void lost();

private:
    std::unique_ptr<QSerialPort> m_port;
    QString m_device;
    bool m_isPseudoTerminal = false;
};
