#include "filesendwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kRateUnknown = QStringLiteral("Restzeit wird ermittelt …");

} // namespace

FileSendWindow::FileSendWindow(FileTransfer &transfer, QWidget *parent)
    : ProgressWindow(QStringLiteral("Datei senden"), transfer.name(),
        QStringLiteral("Gesendete Datei"), QStringLiteral("Gesendete Bytes"), parent)
    , m_transfer(transfer)
{
    m_rateLabel = new QLabel(kRateUnknown, this);
    m_rateLabel->setAccessibleDescription(QStringLiteral("Übertragungsrate und Restzeit"));
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
    onProgressed(m_transfer.sent(), m_transfer.total());
}

void FileSendWindow::onProgressed(qint64 sent, qint64 total)
{
    showCount(sent, total);
    m_rate.add(m_clock.elapsed(), sent);
    const QString rate = m_rate.text(total);
    m_rateLabel->setText(rate.isEmpty() ? kRateUnknown : rate);
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
        QStringLiteral("Das Gerät ist nicht mehr erreichbar: %1 wurden gesendet.")
            .arg(progressText(m_transfer.sent(), m_transfer.total())));
    m_rateWatch.stop();
    m_rateLabel->clear();
    button()->setText(QStringLiteral("&Schließen"));
    button()->setAccessibleName(QStringLiteral("Schließen"));
}
