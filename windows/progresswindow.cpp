#include "progresswindow.h"

#include "text/bytecount.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The bar counts in thousandths, as a file may be longer than an int counts.
constexpr int kBarSteps = 1000;

} // namespace

ProgressWindow::ProgressWindow(const QString &title, const QString &path, const QString &fileRole,
    const QString &countRole, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    setAccessibleName(title);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    //: %1 is the file's name.
    m_name = new QLabel(tr("Datei „%1“").arg(QFileInfo(path).fileName()), this);
    m_name->setToolTip(path);
    m_name->setAccessibleDescription(fileRole);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, kBarSteps);
    m_bar->setAccessibleName(tr("Fortschritt"));
    m_progress = new QLabel(this);
    m_progress->setAccessibleDescription(countRole);
    m_button = new QPushButton(tr("&Abbrechen"), this);
    m_button->setAccessibleName(tr("Abbrechen"));
    m_button->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addWidget(m_bar);
    layout->addWidget(m_progress);
    layout->addWidget(m_button, 0, Qt::AlignRight);
    setMinimumWidth(360);

    connect(m_button, &QPushButton::clicked, this, [this] {
        if (isRunning())
            cancel();
        else
            close();
    });
}

QString ProgressWindow::progressText(qint64 done, qint64 total)
{
    //: %1 bytes done of %2 in all.
    return tr("%1 von %2 Bytes").arg(ByteCount::number(done), ByteCount::number(total));
}

void ProgressWindow::showCount(qint64 done, qint64 total)
{
    m_bar->setValue(total > 0 ? int(done * kBarSteps / total) : kBarSteps);
    m_progress->setText(progressText(done, total));
}

void ProgressWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isRunning()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ProgressWindow::reject()
{
    if (isRunning())
        cancel();
    QDialog::reject();
}
