#include "base/dialogs.h"
#include "base/messages.h"
#include "files/sendfilereader.h"
#include "mditavel.h"
#include "serial/filetransfer.h"
#include "serial/mscomm.h"
#include "windows/filesendwindow.h"
#include "windows/transmitter.h"

#include <QApplication>

void MDITavel::SendFile()
{
    // The connection check of the input window, asked before the dialog so
    // that nobody picks a file that cannot go anywhere.
    if (!m_transmitter->connectionCheck())
        return;
    // One file at a time: a second one behind the first would leave the user
    // two transfers to follow and to stop in one window.
    if (m_fileTransfer->isRunning()) {
        Dialogs::current().message(
            Messages::oneFileAtATime(m_fileTransfer->name(), QStringLiteral("gesendet")),
            kApplicationTitle);
        return;
    }
    const QString path = Dialogs::current().openFileName(QStringLiteral("Datei senden"));
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
    const bool queued = !m_fileTransfer->start(path, file.bytes);
    QApplication::restoreOverrideCursor();
    if (queued && m_fileTransfer->isRunning())
        (new FileSendWindow(*m_fileTransfer, this))->show();
}

bool MDITavel::mayDropFileSend()
{
    if (!m_fileTransfer->isRunning())
        return true;
    return Dialogs::current().question(
        Messages::notFinished(m_fileTransfer->name(), QStringLiteral("gesendet"),
            m_fileTransfer->percent(), QStringLiteral("abbrechen")),
        kApplicationTitle);
}
