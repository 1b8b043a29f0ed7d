#include "comportmap.h"

#include <QtGlobal>
#include <algorithm>
#include <array>

namespace {

struct PortChoices
{
    std::array<QString, ComPortMap::kPortCount> assigned;
    QList<SerialDeviceInfo> offered;
};

PortChoices &choices()
{
    static PortChoices instance;
    return instance;
}

bool isNamedBy(const SerialDeviceInfo &device, const QString &path)
{
    return !path.isEmpty() && (path == device.stablePath() || path == device.systemPath);
}

} // namespace

QString ComPortMap::devicePath(int port)
{
    if (!isValidPort(port))
        return {};
    const QString chosen = chosenDevicePath(port);
    return chosen.isEmpty() ? listedDevicePath(port) : chosen;
}

ComPortMap::Source ComPortMap::sourceOf(int port)
{
    if (!isValidPort(port))
        return Source::None;
    if (!environmentDevicePath(port).isEmpty())
        return Source::Environment;
    if (!assignedDevice(port).isEmpty())
        return Source::Assignment;
    return listedDevicePath(port).isEmpty() ? Source::None : Source::DeviceList;
}

int ComPortMap::portOfName(const QString &name)
{
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        if (name == QStringLiteral("COM%1").arg(port))
            return port;
    }
    return 0;
}

QString ComPortMap::environmentVariable(int port)
{
    return QStringLiteral("TAVEL_COM%1").arg(port);
}

void ComPortMap::setAssignedDevice(int port, const QString &path)
{
    if (isValidPort(port))
        choices().assigned[port - kFirstPort] = path;
}

QString ComPortMap::assignedDevice(int port)
{
    return isValidPort(port) ? choices().assigned[port - kFirstPort] : QString();
}

void ComPortMap::offerDevices(const QList<SerialDeviceInfo> &usable)
{
    QList<SerialDeviceInfo> &offered = choices().offered;
    for (const SerialDeviceInfo &device : usable) {
        const auto known = std::find_if(offered.begin(), offered.end(),
            [&device](const SerialDeviceInfo &d) { return d.stablePath() == device.stablePath(); });
        // A replugged adapter keeps its place under its new node.
        if (known != offered.end())
            *known = device;
        else
            offered.append(device);
    }
}

QList<SerialDeviceInfo> ComPortMap::offeredDevices()
{
    return choices().offered;
}

void ComPortMap::reset()
{
    choices() = {};
}

QString ComPortMap::environmentDevicePath(int port)
{
    // An empty variable counts as unset: "TAVEL_COM1= tavel" should not
    // leave COM1 pointing at nothing.
    return qEnvironmentVariable(environmentVariable(port).toLatin1().constData());
}

QString ComPortMap::chosenDevicePath(int port)
{
    const QString configured = environmentDevicePath(port);
    return configured.isEmpty() ? assignedDevice(port) : configured;
}

// The ports without a choice of their own take the offered devices in
// order, passing over those another port names already.
QString ComPortMap::listedDevicePath(int port)
{
    int unchosenBefore = 0;
    for (int other = kFirstPort; other < port; ++other) {
        if (chosenDevicePath(other).isEmpty())
            ++unchosenBefore;
    }
    for (const SerialDeviceInfo &device : choices().offered) {
        bool taken = false;
        for (int other = kFirstPort; other <= kLastPort; ++other)
            taken = taken || isNamedBy(device, chosenDevicePath(other));
        if (taken)
            continue;
        if (unchosenBefore-- == 0)
            return device.stablePath();
    }
    return {};
}
