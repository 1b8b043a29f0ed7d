#include "filesendwindow.h"

#include <QLabel>
#include <QPushButton>

FileSendWindow::FileSendWindow(FileTransfer &transfer, QWidget *parent)
    : ProgressWindow(QStringLiteral("Datei senden"), transfer.name(),
        QStringLiteral("Gesendete Datei"), QStringLiteral("Gesendete Bytes"), parent)
    , m_transfer(transfer)
{
    connect(&m_transfer, &FileTransfer::progressed, this, &FileSendWindow::showCount);
    connect(&m_transfer, &FileTransfer::finished, this, &FileSendWindow::onFinished);
    showCount(m_transfer.sent(), m_transfer.total());
}

void FileSendWindow::onFinished(FileTransfer::Outcome outcome)
{
    if (outcome != FileTransfer::Outcome::DeviceLost) {
        close();
        return;
    }
    showCount(m_transfer.sent(), m_transfer.total());
    progressLabel()->setText(
        QStringLiteral("Das Gerät ist nicht mehr erreichbar: %1 wurden gesendet.")
            .arg(progressText(m_transfer.sent(), m_transfer.total())));
    button()->setText(QStringLiteral("&Schließen"));
    button()->setAccessibleName(QStringLiteral("Schließen"));
}
