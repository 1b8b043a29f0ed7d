#pragma once

#include "devices/devicelist.h"

#include <QList>
#include <QString>

// A device as the system's list reports it, written short: "ttyUSB0=usb-FTDI_A1"
// is /dev/ttyUSB0 with that by-id name, "ttyS0!console" the kernel's console,
// "ttyS1!nouart" a ttyS node without a UART; a full path stands for itself.
inline SerialDeviceInfo serialDevice(const QString &description)
{
    SerialDeviceInfo d;
    const QStringList flagged = description.split(QLatin1Char('!'));
    const QStringList named = flagged.first().split(QLatin1Char('='));
    const QString node = named.first();
    d.systemPath = node.startsWith(QLatin1Char('/')) ? node : QStringLiteral("/dev/") + node;
    d.name = d.systemPath.section(QLatin1Char('/'), -1);
    if (named.size() > 1)
        d.byIdPath = QStringLiteral("/dev/serial/by-id/") + named.at(1);
    d.isConsole = flagged.contains(QStringLiteral("console"));
    d.isUartlessLegacyPort = flagged.contains(QStringLiteral("nouart"));
    return d;
}

// Several of them, apart by spaces.
inline QList<SerialDeviceInfo> serialDevices(const QString &descriptions)
{
    QList<SerialDeviceInfo> list;
    for (const QString &description : descriptions.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        list.append(serialDevice(description));
    return list;
}
