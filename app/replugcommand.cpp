#include "replugcommand.h"

#include "base/dialogs.h"
#include "base/formslot.h"
#include "base/module1.h"
#include "base/statuspanels.h"
#include "devices/reconnector.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "text/bytecount.h"

ReplugCommand::ReplugCommand(
    MSComm &comm, StatusPanels &status, FormSlot<FrmEinstellungen> &settingsWindow)
    : m_comm(comm)
    , m_status(status)
    , m_settingsWindow(settingsWindow)
    , m_reconnector(std::make_unique<Reconnector>(comm))
{
    connect(m_reconnector.get(), &Reconnector::reconnected, this, &ReplugCommand::onReconnected);
    connect(
        m_reconnector.get(), &Reconnector::waitingStopped, this, &ReplugCommand::onWaitingStopped);
}

ReplugCommand::~ReplugCommand() = default;

// A pulled cable needs no one at the keyboard: Tavel says on the status bar
// that it waits, and reopens the device with the same settings when it comes
// back. No message box while waiting, as one would hold up the reopening
// until it is answered.
void ReplugCommand::deviceLost()
{
    m_reconnector->startWaiting();
    if (m_reconnector->isWaiting()) {
        m_status.showWaitingForDevice(m_comm.CommPort(), m_reconnector->awaitedPath());
        return;
    }
    onWaitingStopped();
}

void ReplugCommand::stop()
{
    m_stopped = true;
    m_reconnector->stopWaiting();
}

void ReplugCommand::onReconnected()
{
    m_status.showConnection(m_comm.CommPort(), m_comm.openPath(), m_comm.openDevice());
    if (FrmEinstellungen *settings = m_settingsWindow.loaded())
        settings->showReconnected();
    reportOutputLost();
}

void ReplugCommand::onWaitingStopped()
{
    if (FrmEinstellungen *settings = m_settingsWindow.loaded())
        settings->showDisconnected();
    else
        m_status.showNoConnection();
    reportOutputLost();
}

void ReplugCommand::reportOutputLost()
{
    const qint64 lost = m_comm.takeOutputLostAtLoss();
    if (lost == 0 || m_stopped)
        return;
    const QString amount = ByteCount::amount(lost);
    Dialogs::current().message(
        //: %1 is the port number, %2 an amount of bytes such as 12 Bytes
        tr("Als die Verbindung über COM%1 abbrach, waren %2 noch nicht gesendet. Sie "
           "wurden verworfen, damit sie nicht an ein anderes Gerät gehen.")
            .arg(m_comm.CommPort())
            .arg(amount),
        kApplicationTitle);
}
