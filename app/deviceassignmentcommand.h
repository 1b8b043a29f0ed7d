#pragma once

#include "base/formslot.h"
#include "devices/deviceassignment.h"
#include "devices/deviceassignmentstore.h"

#include <QObject>

class FrmEinstellungen;
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
    // choice. window: the parent of the dialog.
    DeviceAssignmentCommand(
        const QString &path, FormSlot<FrmEinstellungen> &settingsWindow, QWidget *window);

    // At start-up: the file into ComPortMap.
    void load();
    // The user chooses the devices behind COM1 and COM2.
    void choose();
    // The program ends: a request still on its way opens no dialog.
    void stop() { m_stopped = true; }

private:
    void apply();

    DeviceAssignmentStore m_store;
    DeviceAssignment m_assignment;
    FormSlot<FrmEinstellungen> &m_settingsWindow;
    QWidget *m_window = nullptr;
    bool m_stopped = false;
};
