#pragma once

#include "commerror.h"

// What makes an open device node Tavel's alone while it is open, and what a
// crash leaves behind harmless. Only a device node goes through here: a
// network port is not this machine's to lock.
//
// The kernel's exclusive flag (TIOCEXCL), which QSerialPort sets at open,
// keeps out every other opener but root. flock on the open device keeps out
// every other Tavel, root too, whatever lock folder each one sees, and the
// kernel drops it with the last descriptor, so a killed Tavel leaves no lock
// behind. The lock file is for other terminal programs, which look there.
namespace DeviceClaim {

// Before the device is opened: stale lock files go, and a device that
// another process holds is refused (kPortInUse, naming the holder) without
// being touched.
CommResult prepare(int port, const QString &configured, const QString &device);
// Right after QSerialPort opened the device on fd: kPortInUse when another
// process got there first, after which the caller closes again.
CommResult claim(int port, const QString &configured, const QString &device, int fd);
// Once the port is Tavel's: its lock file in the form other terminal
// programs read. Left until after the lines chosen off are dropped, which
// must come as soon after the opening as they can.
void markLockFile(const QString &device);

} // namespace DeviceClaim
