#pragma once

#include "commerror.h"

class QSerialPort;

// Why QSerialPort could not open a device. It reports a held port and a
// refused access alike as PermissionError, so the device is examined anew to
// give each case its own number; only a port that another program holds
// becomes kPortInUse.
namespace OpenFailure {

// serial: the port whose open() just failed, for its own error and reason.
CommError classify(int port, const QString &devicePath, const QSerialPort &serial);

} // namespace OpenFailure
