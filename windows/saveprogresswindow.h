#pragma once

#include <QDialog>
#include <QTimer>

class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class TrafficSave;

// Shows a save that takes a while: the file's name, how many bytes of the
// data are written with a bar, and "Abbrechen", which gives the save up and
// leaves an old file of that name as it was. It closes when the save ends.
class SaveProgressWindow : public QDialog
{
    Q_OBJECT

public:
    SaveProgressWindow(TrafficSave &save, const QString &title, QWidget *parent = nullptr);

    QProgressBar *bar() const { return m_bar; }
    QLabel *progressLabel() const { return m_progress; }
    QPushButton *button() const { return m_button; }

protected:
    // Escape alone does not give the save up, so that a stray key cannot
    // throw away a long save; the close box does, as "Abbrechen".
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    void showProgress();

    TrafficSave &m_save;
    QLabel *m_progress = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_button = nullptr;
    // The thread reports nothing by itself; its count is read a few times a second.
    QTimer m_poll;
};
