#pragma once

#include "progresswindow.h"

#include <QTimer>

class TrafficSave;

// Shows a save that takes a while: how many bytes of the data are written.
// "Abbrechen" gives the save up and leaves an old file of that name as it
// was. It closes when the save ends.
class SaveProgressWindow : public ProgressWindow
{
    Q_OBJECT

public:
    SaveProgressWindow(TrafficSave &save, const QString &title, QWidget *parent = nullptr);

protected:
    bool isRunning() const override;
    void cancel() override;

private:
    void showProgress();

    TrafficSave &m_save;
    // The thread reports nothing by itself; its count is read a few times a second.
    QTimer m_poll;
};
