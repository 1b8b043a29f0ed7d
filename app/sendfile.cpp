#include "app/base/dialogs.h"
#include "mditavel.h"
#include "serial/filesend.h"
#include "serial/mscomm.h"

#include <QApplication>

void MDITavel::SendFile()
{
    // The connection check of the input window, asked before the dialog so
    // that nobody picks a file that cannot go anywhere.
    if (!m_comm->PortOpen()) {
        Dialogs::current().message(
            QStringLiteral("Es besteht keine serielle Verbindung."), kApplicationTitle);
        return;
    }
    const QString path = Dialogs::current().openFileName(QStringLiteral("Datei senden"));
    if (path.isEmpty())
        return;

    // Reading a large file takes a moment of its own, so the pointer turns
    // busy before it rather than only for the hand-over.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FileSend::Loaded file = FileSend::load(path);
    if (!file.ok()) {
        QApplication::restoreOverrideCursor();
        Dialogs::current().message(file.error, kApplicationTitle);
        return;
    }
    // One piece: the port queues it without copying and passes it on as the
    // line drains, so received data keep showing meanwhile. A port that went
    // away during the dialog has said so through its own notification.
    (void)m_comm->Output(file.bytes);
    QApplication::restoreOverrideCursor();
}
