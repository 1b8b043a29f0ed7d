#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One serial device as the system describes it.
struct SerialDeviceInfo
{
    QString name; // "ttyUSB0"
    QString systemPath; // "/dev/ttyUSB0"
    // "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"; empty
    // when udev gave the device no such name (on-board UARTs).
    QString byIdPath;
    QString manufacturer;
    QString product;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
    // A ttyS node the kernel keeps although no UART answers behind it.
    bool isUartlessLegacyPort = false;
    // The kernel's console: opening it at 110 baud would break the console.
    bool isConsole = false;

    // The name that stays with the device: its by-id name, which survives a
    // replug under another node, or else its node.
    QString stablePath() const { return byIdPath.isEmpty() ? systemPath : byIdPath; }

    bool operator==(const SerialDeviceInfo &) const = default;
};

// The devices COM1 and COM2 can stand for, in an order that does not depend
// on the order the system reports them in or on the order they were plugged in.
namespace DeviceList {

// Drops the console and ttyS nodes without a UART, and a device listed twice.
// Devices with a by-id name (USB adapters, CDC-ACM boards: what a user plugs
// in) come first, ordered by that name, which is made of the vendor, the
// product and the serial number; then the others (on-board UARTs), ordered by
// their node. Numbers in names count as numbers: ttyS2 before ttyS10.
QList<SerialDeviceInfo> usable(QList<SerialDeviceInfo> devices);

// What the system knows of the device, for the user: "FTDI, FT232R USB UART,
// Seriennummer A50285BI, USB 0403:6001"; empty when it knows nothing.
QString details(const SerialDeviceInfo &device);

// a before b, numbers in the names compared as numbers.
bool naturalLess(const QString &a, const QString &b);

} // namespace DeviceList
