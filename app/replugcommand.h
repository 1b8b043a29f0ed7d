#pragma once

#include "base/formslot.h"

#include <QObject>
#include <memory>

class FrmEinstellungen;
class MSComm;
class Reconnector;
class StatusPanels;

// What the program does by itself when the device of the open port goes
// away: it says on the status bar that it waits, lets the Reconnector reopen
// the device with the same settings when it comes back, and then says how
// many bytes the loss kept from leaving.
class ReplugCommand : public QObject
{
    Q_OBJECT

public:
    // settingsWindow: shows the connection as it is now, when it is loaded.
    ReplugCommand(MSComm &comm, StatusPanels &status, FormSlot<FrmEinstellungen> &settingsWindow);
    ~ReplugCommand() override;

    // The port object reported that its device went away.
    void deviceLost();
    Reconnector &reconnector() const { return *m_reconnector; }
    // The program ends: the wait ends too, and nothing more is reported.
    void stop();

private:
    void onReconnected();
    void onWaitingStopped();
    // Says once how many bytes the loss of the device kept from leaving.
    void reportOutputLost();

    MSComm &m_comm;
    StatusPanels &m_status;
    FormSlot<FrmEinstellungen> &m_settingsWindow;
    std::unique_ptr<Reconnector> m_reconnector;
    bool m_stopped = false;
};
