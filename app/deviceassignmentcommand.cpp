#include "deviceassignmentcommand.h"

#include "base/dialogs.h"
#include "base/module1.h"
#include "devices/comportmap.h"
#include "devices/devicescan.h"
#include "settings/deviceassignmentdialog.h"
#include "settings/frmeinstellungen.h"

DeviceAssignmentCommand::DeviceAssignmentCommand(
    const QString &path, FormSlot<FrmEinstellungen> &settingsWindow, QWidget *window)
    : m_store(path)
    , m_settingsWindow(settingsWindow)
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
void DeviceAssignmentCommand::choose()
{
    if (m_stopped)
        return;
    DeviceAssignmentDialog dialog(m_assignment, &DeviceScan::systemDevices, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_assignment = dialog.assignment();
    apply();
    const QString problem = m_store.save(m_assignment);
    if (!problem.isEmpty())
        Dialogs::current().message(problem, kApplicationTitle);
}
