#pragma once

#include "openport.h"

#include <QString>
#include <memory>

class PortLines;
class QSerialPort;

// A serial device node as the port object reaches it: opened through
// QSerialPort under its real path, made Tavel's alone while open (see
// DeviceClaim), read through QSerialPort, written straight to its
// descriptor by the port object's writer, and closed so that DTR does what
// the user chose. What the port object does above it (events, the output
// queue, the replug wait) is the same for every kind of port.
class DevicePort : public OpenPort
{
    Q_OBJECT

public:
    explicit DevicePort(QObject *parent = nullptr);
    ~DevicePort() override;

    bool isOpen() const override;
    // Opens the device (device: links resolved; configured: as the user
    // named it, for messages). The lines are handed the device right after
    // it opens, before anything else is set.
    [[nodiscard]] CommResult open(
        int commPort, const QString &configured, const QString &device, PortLines &lines);
    // A pseudo-terminal has no line to set and keeps its own.
    [[nodiscard]] CommResult applySettings(int commPort, const LineSettings &settings) override;
    void close(bool dropOutput, bool keepDtr) override;
    void closeLost() override;

    int descriptor() const;
    QString device() const { return m_device; }
    QByteArray readAll() override;
    qint64 bytesAvailable() const override;
    // TIOCOUTQ.
    qint64 outputInDriver() const override;
    // TCOFLUSH.
    void discardOutputInDriver() override;
    std::optional<SerialErrorCounts> errorCounts() const override;

private:
    std::unique_ptr<QSerialPort> m_port;
    QString m_device;
    bool m_isPseudoTerminal = false;
};
