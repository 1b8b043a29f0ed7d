#pragma once

#include "devicelist.h"

#include <QList>
#include <QString>

// Which system device COM1 and COM2 stand for, strongest first: the
// environment variables TAVEL_COM1 and TAVEL_COM2 (scripts, tests, ./run);
// the user's assignment (the "Geräte zuordnen" dialog, kept in a file of its
// own that the program loads and hands in here); otherwise the devices the
// system reports, in DeviceList's order, the first free one for COM1 and the
// next for COM2. This class reads no file: the program hands it the
// assignment and the devices it found.
class ComPortMap
{
public:
    // Tavel offers COM1 and COM2 and no other port; every list of ports
    // (the settings window's options, the assignment file) runs over these.
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 2;
    static constexpr int kPortCount = kLastPort - kFirstPort + 1;

    enum class Source { Environment, Assignment, DeviceList, None };

    static bool isValidPort(int port) { return port >= kFirstPort && port <= kLastPort; }

    // The device for COMn; empty for a number outside 1..2 and when no
    // device is known for it.
    static QString devicePath(int port);
    static Source sourceOf(int port);
    // 1 for "COM1", 2 for "COM2"; 0 for any other name.
    static int portOfName(const QString &name);
    // "TAVEL_COM1" for port 1.
    static QString environmentVariable(int port);

    // The user's choice for COMn; empty for none.
    static void setAssignedDevice(int port, const QString &path);
    static QString assignedDevice(int port);

    // Devices found on the system, in DeviceList's order. Devices offered
    // earlier in the run keep their places (also while unplugged), so that
    // plugging in another adapter never changes what a port stands for; new
    // ones join at the end.
    static void offerDevices(const QList<SerialDeviceInfo> &usable);
    static QList<SerialDeviceInfo> offeredDevices();
    // Forgets choices and devices.
    static void reset();

private:
    static QString environmentDevicePath(int port);
    static QString chosenDevicePath(int port);
    static QString listedDevicePath(int port);
};
