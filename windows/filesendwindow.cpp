#include "filesendwindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Made when shown: the translation is loaded after static initialisation.
QString rateUnknown()
{
    return QCoreApplication::translate("FileSendWindow", "Restzeit wird ermittelt …");
}

QString holdText(FileTransfer::Hold hold)
{
    switch (hold) {
    case FileTransfer::Hold::ClearToSendOff:
        //: The file send is paused because the far end turned CTS off.
        return QCoreApplication::translate("FileSendWindow", "angehalten: CTS ist aus");
    case FileTransfer::Hold::XoffReceived:
        //: The file send is paused because the far end sent XOFF.
        return QCoreApplication::translate(
            "FileSendWindow", "angehalten: die Gegenstelle hat XOFF gesendet");
    case FileTransfer::Hold::None:
        break;
    }
    return {};
}

} // namespace

FileSendWindow::FileSendWindow(FileTransfer &transfer, QWidget *parent)
    : ProgressWindow(
        tr("Datei senden"), transfer.name(), tr("Gesendete Datei"), tr("Gesendete Bytes"), parent)
    , m_transfer(transfer)
{
    m_rateLabel = new QLabel(rateUnknown(), this);
    m_rateLabel->setAccessibleDescription(tr("Übertragungsrate und Restzeit"));
    // Below the count, above the button.
    if (auto *column = qobject_cast<QVBoxLayout *>(layout()))
        column->insertWidget(column->indexOf(progressLabel()) + 1, m_rateLabel);
    m_clock.start();
    m_rateWatch.setInterval(500);
    connect(&m_rateWatch, &QTimer::timeout, this, [this] {
        if (isRunning())
            onProgressed(m_transfer.sent(), m_transfer.total());
    });
    m_rateWatch.start();
    connect(&m_transfer, &FileTransfer::progressed, this, &FileSendWindow::onProgressed);
    connect(&m_transfer, &FileTransfer::finished, this, &FileSendWindow::onFinished);
    connect(&m_transfer, &FileTransfer::holdChanged, this,
        [this] { onProgressed(m_transfer.sent(), m_transfer.total()); });
    onProgressed(m_transfer.sent(), m_transfer.total());
}

void FileSendWindow::onProgressed(qint64 sent, qint64 total)
{
    showCount(sent, total);
    m_rate.add(m_clock.elapsed(), sent);
    const QString held = holdText(m_transfer.hold());
    const QString rate = m_rate.text(total);
    m_rateLabel->setText(!held.isEmpty() ? held : rate.isEmpty() ? rateUnknown() : rate);
}

void FileSendWindow::onFinished(FileTransfer::Outcome outcome)
{
    m_ended = true;
    disconnect(&m_transfer, nullptr, this, nullptr);
    if (outcome != FileTransfer::Outcome::DeviceLost) {
        close();
        return;
    }
    showCount(m_transfer.sent(), m_transfer.total());
    progressLabel()->setText(
        //: %1 is the count of bytes sent, as "%1 von %2 Bytes".
        tr("Das Gerät ist nicht mehr erreichbar: %1 wurden gesendet.")
            .arg(progressText(m_transfer.sent(), m_transfer.total())));
    m_rateWatch.stop();
    m_rateLabel->clear();
    button()->setText(tr("&Schließen"));
    button()->setAccessibleName(tr("Schließen"));
}
