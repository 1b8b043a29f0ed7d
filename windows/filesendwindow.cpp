#include "filesendwindow.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The bar counts in thousandths, as a file may be longer than an int counts.
constexpr int kBarSteps = 1000;

} // namespace

FileSendWindow::FileSendWindow(FileTransfer &transfer, QWidget *parent)
    : QDialog(parent)
    , m_transfer(transfer)
{
    setWindowTitle(QStringLiteral("Datei senden"));
    setAccessibleName(QStringLiteral("Datei senden"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_name
        = new QLabel(QStringLiteral("Datei „%1“").arg(QFileInfo(transfer.name()).fileName()), this);
    m_name->setToolTip(transfer.name());
    m_name->setAccessibleDescription(QStringLiteral("Gesendete Datei"));
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, kBarSteps);
    m_bar->setAccessibleName(QStringLiteral("Fortschritt"));
    m_progress = new QLabel(this);
    m_progress->setAccessibleDescription(QStringLiteral("Gesendete Bytes"));
    m_button = new QPushButton(QStringLiteral("&Abbrechen"), this);
    m_button->setAccessibleName(QStringLiteral("Abbrechen"));
    m_button->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addWidget(m_bar);
    layout->addWidget(m_progress);
    layout->addWidget(m_button, 0, Qt::AlignRight);
    setMinimumWidth(360);

    connect(m_button, &QPushButton::clicked, this, [this] {
        if (m_transfer.isRunning())
            m_transfer.cancel();
        else
            close();
    });
    connect(&m_transfer, &FileTransfer::progressed, this, &FileSendWindow::showProgress);
    connect(&m_transfer, &FileTransfer::finished, this, &FileSendWindow::onFinished);
    showProgress(m_transfer.sent(), m_transfer.total());
}

QString FileSendWindow::progressText(qint64 sent, qint64 total)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    return QStringLiteral("%1 von %2 Bytes").arg(german.toString(sent), german.toString(total));
}

void FileSendWindow::showProgress(qint64 sent, qint64 total)
{
    m_bar->setValue(total > 0 ? int(sent * kBarSteps / total) : kBarSteps);
    m_progress->setText(progressText(sent, total));
}

void FileSendWindow::onFinished(FileTransfer::Outcome outcome)
{
    if (outcome != FileTransfer::Outcome::DeviceLost) {
        close();
        return;
    }
    showProgress(m_transfer.sent(), m_transfer.total());
    m_progress->setText(QStringLiteral("Das Gerät ist nicht mehr erreichbar: %1 wurden gesendet.")
                            .arg(progressText(m_transfer.sent(), m_transfer.total())));
    m_button->setText(QStringLiteral("&Schließen"));
    m_button->setAccessibleName(QStringLiteral("Schließen"));
}

void FileSendWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_transfer.isRunning()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FileSendWindow::reject()
{
    if (m_transfer.isRunning())
        m_transfer.cancel();
    QDialog::reject();
}
