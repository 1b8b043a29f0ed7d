#pragma once

#include <QDialog>

class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;

// A small window that follows long work on a file: the file's name, how many
// bytes of the total are done with a bar, and "Abbrechen". The work itself is
// the subclass's; this window only shows it and asks for it to stop.
class ProgressWindow : public QDialog
{
    Q_OBJECT

public:
    // "12.345 von 100.000 Bytes"
    static QString progressText(qint64 done, qint64 total);

    QLabel *nameLabel() const { return m_name; }
    QLabel *progressLabel() const { return m_progress; }
    QProgressBar *bar() const { return m_bar; }
    QPushButton *button() const { return m_button; }

protected:
    // title: the window's; path: the file; what: the accessible description
    // of the name and of the count ("Gesendete Datei", "Gesendete Bytes").
    ProgressWindow(const QString &title, const QString &path, const QString &fileRole,
        const QString &countRole, QWidget *parent);

    void showCount(qint64 done, qint64 total);

    virtual bool isRunning() const = 0;
    virtual void cancel() = 0;

    // The close box stops the work as "Abbrechen" does; Escape alone does
    // not, so that a stray key cannot throw away long work.
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    QLabel *m_name = nullptr;
    QProgressBar *m_bar = nullptr;
    QLabel *m_progress = nullptr;
    QPushButton *m_button = nullptr;
};
