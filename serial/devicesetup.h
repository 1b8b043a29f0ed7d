#pragma once

#include "linesettings.h"

#include <QSerialPort>
#include <QString>
#include <optional>

// Brings an open device to the line parameters of a LineSettings, and checks
// that the driver really took them: QSerialPort reports success for some
// settings a driver ignores, and maps 1.5 stop bits to 1 without a word.
class DeviceSetup
{
public:
    enum class DeviceKind { SerialPort, PseudoTerminal };

    // A pseudo-terminal has no line, and its driver refuses parity and 6 or
    // 7 data bits; such a device is used as it is.
    static DeviceKind deviceKind(int fd);

    // Empty on success, otherwise a phrase in the interface's language naming the refused setting
    // with the driver's reason.
    static std::optional<QString> apply(QSerialPort &port, const LineSettings &settings);
    static std::optional<QString> applyBaudRate(QSerialPort &port, int baudRate);

    static QSerialPort::Parity qtParity(LineSettings::Parity parity);
    // 1.5 stop bits are asked for as the long stop setting, which a UART
    // sends as 1.5 stop bits with 5-bit characters. Only valid for settings
    // that are isSendable().
    static QSerialPort::StopBits qtStopBits(LineSettings::StopBits stopBits);

    // The rate the driver reports for the device, when it can tell.
    static std::optional<qint64> actualBaudRate(int fd);

private:
    static std::optional<QString> applyFrame(QSerialPort &port, const LineSettings &settings);
    static std::optional<QString> verifyFrame(int fd, const LineSettings &settings);
};
