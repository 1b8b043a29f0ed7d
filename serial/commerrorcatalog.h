#pragma once

#include "commerror.h"

class LineSettings;

// The errors of the port object with their descriptions in the interface's language, kept in one
// place so that the wording stays consistent. Every description that comes
// from a failed system call ends with the system's own reason.
namespace CommErrorCatalog {

CommError invalidSettings(const QString &settings, const QString &problem);
CommError invalidPortNumber(int port);
CommError portAlreadyOpen(int port);
CommError portNotOpen();
CommError portInUse(int port, const QString &device, const QString &reason);
CommError deviceNotFound(int port, const QString &device, const QString &reason);
// No device is known for COMn: none assigned, none named and none found.
CommError noDeviceForPort(int port);
CommError accessDenied(int port, const QString &device, const QString &reason);
CommError notASerialPort(int port, const QString &device, const QString &reason);
CommError settingsRefused(int port, const QString &device, const QString &reason);
CommError stopBitsNeedFiveDataBits(const LineSettings &settings);
CommError openFailed(int port, const QString &device, const QString &reason);
// A port on a serial server: its host cannot be found, or the connection
// fails, is refused, times out or the server will not serve the port.
CommError serverNotFound(int port, const QString &address, const QString &reason);
CommError connectFailed(int port, const QString &address, const QString &reason);

} // namespace CommErrorCatalog
