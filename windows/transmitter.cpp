#include "transmitter.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/module1.h"
#include "frmsendefenster.h"
#include "serial/mscomm.h"

Transmitter::Transmitter(MSComm &comm, std::function<FrmSendefenster &()> sentWindow)
    : m_comm(comm)
    , m_sentWindow(std::move(sentWindow))
{
}

bool Transmitter::connectionCheck()
{
    if (m_comm.PortOpen())
        return true;
    Dialogs::current().message(Messages::noConnection(), kApplicationTitle);
    return false;
}

void Transmitter::transmit(
    const QByteArray &payload, const QString &textEcho, const std::optional<QString> &hexEcho)
{
    // The port only refuses bytes when it has gone away meanwhile; that loss
    // is reported by its own notification, so nothing more is said here.
    const bool handedOver = !m_comm.Output(payload);
    FrmSendefenster &sent = m_sentWindow();
    if (handedOver)
        sent.recordHandedOver(payload);
    sent.appendText(textEcho);
    if (hexEcho)
        sent.appendHex(*hexEcho);
}
