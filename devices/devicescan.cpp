#include "devicescan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

namespace {

const QString kByIdFolder = QStringLiteral("/dev/serial/by-id");

QByteArray sysAttribute(const QString &device, const char *attribute)
{
    QFile file(QStringLiteral("/sys/class/tty/%1/%2").arg(device, QLatin1String(attribute)));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

// node -> by-id name; of two names for one node the first in natural order.
QHash<QString, QString> byIdNames()
{
    QHash<QString, QString> names;
    const QFileInfoList links = QDir(kByIdFolder).entryInfoList(QDir::System | QDir::Files);
    for (const QFileInfo &link : links) {
        const QString node = link.canonicalFilePath();
        if (node.isEmpty())
            continue;
        const auto known = names.constFind(node);
        if (known == names.cend() || DeviceList::naturalLess(link.filePath(), *known))
            names.insert(node, link.filePath());
    }
    return names;
}

QStringList consoleNames()
{
    // "tty0 ttyS0": every device the kernel writes its messages to.
    return QString::fromLatin1(sysAttribute(QStringLiteral("console"), "active"))
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The serial core reports the UART type; 0 (PORT_UNKNOWN) means that nothing
// answered at the port's address. Without the attribute Qt's word stands.
bool isUartless(const QString &name)
{
    return name.startsWith(QLatin1String("ttyS")) && sysAttribute(name, "type") == "0";
}

} // namespace

namespace DeviceScan {

QList<SerialDeviceInfo> systemDevices()
{
    const QHash<QString, QString> ids = byIdNames();
    const QStringList consoles = consoleNames();
    QList<SerialDeviceInfo> devices;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        SerialDeviceInfo device;
        device.name = port.portName();
        device.systemPath = port.systemLocation();
        device.byIdPath = ids.value(QFileInfo(device.systemPath).canonicalFilePath());
        device.manufacturer = port.manufacturer();
        device.product = port.description();
        device.serialNumber = port.serialNumber();
        if (port.hasVendorIdentifier())
            device.vendorId = port.vendorIdentifier();
        if (port.hasProductIdentifier())
            device.productId = port.productIdentifier();
        device.isUartlessLegacyPort = isUartless(device.name);
        device.isConsole = consoles.contains(device.name);
        devices.append(device);
    }
    return devices;
}

QList<SerialDeviceInfo> usableDevices()
{
    return DeviceList::usable(systemDevices());
}

QString byIdPathOf(const QString &devicePath)
{
    const QString node = QFileInfo(devicePath).canonicalFilePath();
    return node.isEmpty() ? QString() : byIdNames().value(node);
}

} // namespace DeviceScan
