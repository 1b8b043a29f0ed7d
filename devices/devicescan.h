#pragma once

#include "devicelist.h"

#include <QList>
#include <QString>

// What the system says about its serial devices right now: Qt's list of
// ports, with the by-id names from /dev/serial/by-id and, from /sys, which
// node is the console and which ttyS node has no UART behind it.
namespace DeviceScan {

QList<SerialDeviceInfo> systemDevices();
// DeviceList::usable(systemDevices()).
QList<SerialDeviceInfo> usableDevices();
// The by-id name that leads to the same node as devicePath, or empty.
QString byIdPathOf(const QString &devicePath);

} // namespace DeviceScan
