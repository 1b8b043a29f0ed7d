#pragma once

#include "base/formslot.h"
#include "devices/deviceassignment.h"
#include "devices/deviceassignmentstore.h"

#include <QList>
#include <QObject>

class FrmEinstellungen;
class MSComm;
class QWidget;

// "Geräte &zuordnen …": which device COM1 and COM2 stand for. The choice is
// kept in a file of its own, read at start-up and saved as soon as the user
// confirms a new one; it is then handed to ComPortMap, with the devices found
// at that moment.
class DeviceAssignmentCommand : public QObject
{
    Q_OBJECT

public:
    // settingsWindow: its port tool tips name the devices and follow a new
    // choice, as do its port options. comm: the port, whose open connection
    // stays as it is. window: the parent of the dialog.
    DeviceAssignmentCommand(const QString &path, FormSlot<FrmEinstellungen> &settingsWindow,
        const MSComm &comm, QWidget *window);

    // At start-up: the file into ComPortMap.
    void load();
    // The user chooses the devices behind COM1 and COM2; true when a choice
    // was confirmed.
    bool choose();
    // The program ends: a request still on its way opens no dialog.
    void stop() { m_stopped = true; }

private:
    void apply();
    // A port that now stands for another device is probed again, so that its
    // option in the settings window follows at once; the open port is left
    // alone.
    void probeAgain(const QList<int> &ports);

    DeviceAssignmentStore m_store;
    DeviceAssignment m_assignment;
    FormSlot<FrmEinstellungen> &m_settingsWindow;
    const MSComm &m_comm;
    QWidget *m_window = nullptr;
    bool m_stopped = false;
};
