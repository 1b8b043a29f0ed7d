#include "base/dialogs.h"
#include "devices/comportmap.h"
#include "devices/devicescan.h"
#include "mditavel.h"
#include "settings/deviceassignmentdialog.h"
#include "settings/frmeinstellungen.h"

void MDITavel::loadDeviceAssignment()
{
    const DeviceAssignmentStore::LoadResult loaded = m_assignmentStore.load();
    if (!loaded.problem.isEmpty())
        Dialogs::current().message(loaded.problem, kApplicationTitle);
    m_assignment = loaded.assignment;
    applyDeviceAssignment();
}

void MDITavel::applyDeviceAssignment()
{
    for (int port = ComPortMap::kFirstPort; port <= ComPortMap::kLastPort; ++port)
        ComPortMap::setAssignedDevice(port, m_assignment.devicePath(port));
    ComPortMap::offerDevices(DeviceScan::usableDevices());
    if (FrmEinstellungen *settings = m_einstellungen->loaded())
        settings->updatePortToolTips();
}

// The open port stays on its device: a new choice takes effect at the next
// "Verbindung herstellen", and a wait for a lost device goes on.
void MDITavel::assignDevices()
{
    if (m_shutDown)
        return;
    DeviceAssignmentDialog dialog(m_assignment, &DeviceScan::systemDevices, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_assignment = dialog.assignment();
    applyDeviceAssignment();
    const QString problem = m_assignmentStore.save(m_assignment);
    if (!problem.isEmpty())
        Dialogs::current().message(problem, kApplicationTitle);
}
