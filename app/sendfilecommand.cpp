#include "sendfilecommand.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/module1.h"
#include "files/sendfilereader.h"
#include "serial/filetransfer.h"
#include "windows/filesendwindow.h"
#include "windows/transmitter.h"

#include <QApplication>

SendFileCommand::SendFileCommand(MSComm &comm, Transmitter &transmitter, QWidget *window)
    : m_transmitter(transmitter)
    , m_window(window)
    , m_transfer(std::make_unique<FileTransfer>(comm))
{
}

SendFileCommand::~SendFileCommand() = default;

void SendFileCommand::send()
{
    // The connection check of the input window, asked before the dialog so
    // that nobody picks a file that cannot go anywhere.
    if (!m_transmitter.connectionCheck())
        return;
    // One file at a time: a second one behind the first would leave the user
    // two transfers to follow and to stop in one window.
    if (m_transfer->isRunning()) {
        Dialogs::current().message(
            //: Participle put into "The file “%1” is still being %2. …"
            Messages::oneFileAtATime(m_transfer->name(), tr("gesendet")), kApplicationTitle);
        return;
    }
    //: File dialog title
    const QString path = Dialogs::current().openFileName(tr("Datei senden"));
    if (path.isEmpty())
        return;

    // Reading a large file takes a moment of its own, so the pointer turns
    // busy before it rather than only for the hand-over.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SendFileReader::Loaded file = SendFileReader::load(path);
    if (!file.ok()) {
        QApplication::restoreOverrideCursor();
        Dialogs::current().message(file.error, kApplicationTitle);
        return;
    }
    // One piece: the port queues it without copying and passes it on as the
    // line drains, so received data keep showing meanwhile. A port that went
    // away during the dialog has said so through its own notification.
    const bool queued = !m_transfer->start(path, file.bytes);
    QApplication::restoreOverrideCursor();
    if (queued && m_transfer->isRunning())
        (new FileSendWindow(*m_transfer, m_window))->show();
}

bool SendFileCommand::mayDropSend(Messages::SendEnding ending)
{
    if (!m_transfer->isRunning())
        return true;
    return Dialogs::current().question(
        Messages::sendNotFinished(m_transfer->name(), m_transfer->percent(), ending),
        kApplicationTitle);
}

void SendFileCommand::cancel()
{
    m_transfer->cancel();
}

bool SendFileCommand::giveUpIfAgreed(Messages::SendEnding ending)
{
    if (!mayDropSend(ending))
        return false;
    // Given up before the port closes: a port closes only once its driver
    // has sent what it holds, which a slow device makes a long wait for
    // bytes nobody wants any more.
    cancel();
    return true;
}
