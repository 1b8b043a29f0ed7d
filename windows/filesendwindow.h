#pragma once

#include "progresswindow.h"
#include "serial/filetransfer.h"
#include "serial/transferrate.h"

#include <QElapsedTimer>
#include <QTimer>

// Shows a file on its way out: the bytes that have left of the total, and
// once it is steady the rate and the time left. It follows the transfer and
// closes by itself when the last byte has left; when the device is lost it
// stays and says how far it got.
class FileSendWindow : public ProgressWindow
{
    Q_OBJECT

public:
    FileSendWindow(FileTransfer &transfer, QWidget *parent = nullptr);

    QLabel *rateLabel() const { return m_rateLabel; }

protected:
    // The window follows one file: once it has ended, a later file on the
    // same transfer is not this window's to show or to stop.
    bool isRunning() const override { return !m_ended && m_transfer.isRunning(); }
    void cancel() override
    {
        if (isRunning())
            m_transfer.cancel();
    }

private:
    void onProgressed(qint64 sent, qint64 total);
    void onFinished(FileTransfer::Outcome outcome);

    FileTransfer &m_transfer;
    QLabel *m_rateLabel = nullptr;
    TransferRate m_rate;
    QElapsedTimer m_clock;
    // A device that stops reading sends no progress; the rate is looked at
    // all the same, so that it says so.
    QTimer m_rateWatch;
    bool m_ended = false;
};
