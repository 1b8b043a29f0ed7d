#include "saveprogresswindow.h"

#include "base/trafficsave.h"
#include "filesendwindow.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The bar counts in thousandths, as the data may be longer than an int counts.
constexpr int kBarSteps = 1000;

} // namespace

SaveProgressWindow::SaveProgressWindow(TrafficSave &save, const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_save(save)
{
    setWindowTitle(title);
    setAccessibleName(title);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto *name
        = new QLabel(QStringLiteral("Datei „%1“").arg(QFileInfo(save.path()).fileName()), this);
    name->setToolTip(save.path());
    name->setAccessibleDescription(QStringLiteral("Gespeicherte Datei"));
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, kBarSteps);
    m_bar->setAccessibleName(QStringLiteral("Fortschritt"));
    m_progress = new QLabel(this);
    m_progress->setAccessibleDescription(QStringLiteral("Gespeicherte Bytes"));
    m_button = new QPushButton(QStringLiteral("&Abbrechen"), this);
    m_button->setAccessibleName(QStringLiteral("Abbrechen"));
    m_button->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(m_bar);
    layout->addWidget(m_progress);
    layout->addWidget(m_button, 0, Qt::AlignRight);
    setMinimumWidth(360);

    connect(m_button, &QPushButton::clicked, this, &SaveProgressWindow::reject);
    connect(&m_save, &TrafficSave::finished, this, [this] {
        m_poll.stop();
        close();
    });
    connect(&m_poll, &QTimer::timeout, this, &SaveProgressWindow::showProgress);
    m_poll.start(100);
    showProgress();
}

void SaveProgressWindow::showProgress()
{
    const qint64 done = m_save.done();
    const qint64 total = m_save.total();
    m_bar->setValue(total > 0 ? int(done * kBarSteps / total) : kBarSteps);
    m_progress->setText(FileSendWindow::progressText(done, total));
}

void SaveProgressWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SaveProgressWindow::reject()
{
    m_save.cancel();
    QDialog::reject();
}
