#include "saveprogresswindow.h"

#include "traffic/trafficsave.h"

SaveProgressWindow::SaveProgressWindow(TrafficSave &save, const QString &title, QWidget *parent)
    : ProgressWindow(title, save.path(), tr("Gespeicherte Datei"), tr("Gespeicherte Bytes"), parent)
    , m_save(save)
{
    connect(&m_save, &TrafficSave::finished, this, [this] {
        m_poll.stop();
        close();
    });
    connect(&m_poll, &QTimer::timeout, this, &SaveProgressWindow::showProgress);
    m_poll.start(100);
    showProgress();
}

bool SaveProgressWindow::isRunning() const
{
    return m_save.isRunning();
}

void SaveProgressWindow::cancel()
{
    m_save.cancel();
}

void SaveProgressWindow::showProgress()
{
    showCount(m_save.done(), m_save.total());
}
