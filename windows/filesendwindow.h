#pragma once

#include "serial/filetransfer.h"

#include <QDialog>

class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;

// The small window that shows a file on its way out: the file's name, the
// bytes the driver has taken of the total with a bar, and "Abbrechen". It
// follows the transfer and closes by itself when the last byte has been
// passed on; when the device is lost it stays and says how far it got.
class FileSendWindow : public QDialog
{
    Q_OBJECT

public:
    FileSendWindow(FileTransfer &transfer, QWidget *parent = nullptr);

    // "12.345 von 100.000 Bytes"
    static QString progressText(qint64 sent, qint64 total);

    QLabel *nameLabel() const { return m_name; }
    QLabel *progressLabel() const { return m_progress; }
    QProgressBar *bar() const { return m_bar; }
    QPushButton *button() const { return m_button; }

protected:
    // The close box stops the transfer as "Abbrechen" does; Escape alone
    // does not, so that a stray key cannot throw away a long send.
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    void showProgress(qint64 sent, qint64 total);
    void onFinished(FileTransfer::Outcome outcome);

    FileTransfer &m_transfer;
    QLabel *m_name = nullptr;
    QProgressBar *m_bar = nullptr;
    QLabel *m_progress = nullptr;
    QPushButton *m_button = nullptr;
};
