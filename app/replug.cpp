#include "base/dialogs.h"
#include "devices/reconnector.h"
#include "mditavel.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "statusbar.h"
#include "text/bytecount.h"

// A pulled cable needs no one at the keyboard: Tavel says on the status bar
// that it waits, and reopens the device with the same settings when it comes
// back. No message box while waiting, as one would hold up the reopening
// until it is answered.
void MDITavel::onConnectionLost()
{
    m_reconnector->startWaiting();
    if (m_reconnector->isWaiting()) {
        m_statusBar->showWaitingForDevice(m_comm->CommPort(), m_reconnector->awaitedPath());
        return;
    }
    onWaitingStopped();
}

void MDITavel::onReconnected()
{
    m_statusBar->showConnection(m_comm->CommPort(), m_comm->openPath(), m_comm->openDevice());
    if (FrmEinstellungen *settings = m_einstellungen->loaded())
        settings->showReconnected();
    reportOutputLost();
}

void MDITavel::onWaitingStopped()
{
    if (FrmEinstellungen *settings = m_einstellungen->loaded())
        settings->showDisconnected();
    else
        m_statusBar->showNoConnection();
    reportOutputLost();
}

void MDITavel::reportOutputLost()
{
    const qint64 lost = m_comm->takeOutputLostAtLoss();
    if (lost == 0 || m_shutDown)
        return;
    const QString amount = ByteCount::amount(lost);
    Dialogs::current().message(
        QStringLiteral("Als die Verbindung über COM%1 abbrach, waren %2 noch nicht gesendet. Sie "
                       "wurden verworfen, damit sie nicht an ein anderes Gerät gehen.")
            .arg(m_comm->CommPort())
            .arg(amount),
        kApplicationTitle);
}
