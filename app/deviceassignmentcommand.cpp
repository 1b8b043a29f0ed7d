#include "deviceassignmentcommand.h"

#include "base/dialogs.h"
#include "base/module1.h"
#include "devices/comportmap.h"
#include "devices/devicescan.h"
#include "portprobe.h"
#include "serial/mscomm.h"
#include "settings/deviceassignmentdialog.h"
#include "settings/frmeinstellungen.h"

#include <QStringList>

DeviceAssignmentCommand::DeviceAssignmentCommand(const QString &path,
    FormSlot<FrmEinstellungen> &settingsWindow, const MSComm &comm, QWidget *window)
    : m_store(path)
    , m_settingsWindow(settingsWindow)
    , m_comm(comm)
    , m_window(window)
{
}

void DeviceAssignmentCommand::load()
{
    const DeviceAssignmentStore::LoadResult loaded = m_store.load();
    if (!loaded.problem.isEmpty())
        Dialogs::current().message(loaded.problem, kApplicationTitle);
    m_assignment = loaded.assignment;
    apply();
}

void DeviceAssignmentCommand::apply()
{
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
        ComPortMap::setAssignedDevice(port, m_assignment.devicePath(port));
    ComPortMap::offerDevices(DeviceScan::usableDevices());
    if (FrmEinstellungen *settings = m_settingsWindow.loaded())
        settings->updatePortToolTips();
}

// The open port stays on its device: a new choice takes effect at the next
// "Verbindung herstellen", and a wait for a lost device goes on.
bool DeviceAssignmentCommand::choose()
{
    if (m_stopped)
        return false;
    DeviceAssignmentDialog dialog(m_assignment, &DeviceScan::systemDevices, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QStringList before;
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
        before << ComPortMap::devicePath(port);
    m_assignment = dialog.assignment();
    apply();
    const QString problem = m_store.save(m_assignment);
    if (!problem.isEmpty())
        Dialogs::current().message(problem, kApplicationTitle);
    QList<int> changed;
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port) {
        if (ComPortMap::devicePath(port) != before.at(port - ComPortMap::kFirstPort))
            changed << port;
    }
    probeAgain(changed);
    return true;
}

void DeviceAssignmentCommand::probeAgain(const QList<int> &ports)
{
    FrmEinstellungen *settings = m_settingsWindow.loaded();
    if (!settings)
        return;
    for (int port : ports) {
        // The open device would only say that it is in use, by this program.
        const QString device = ComPortMap::devicePath(port);
        const bool held = m_comm.PortOpen()
            && (m_comm.CommPort() == port || device == m_comm.openPath()
                || device == m_comm.openDevice());
        if (!held)
            settings->setPortUsable(port, PortIsUsable(port, m_comm.lines().choices(port)));
    }
}
