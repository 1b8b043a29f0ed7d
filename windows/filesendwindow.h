#pragma once

#include "progresswindow.h"
#include "serial/filetransfer.h"

// Shows a file on its way out: the bytes the driver has taken of the total.
// It follows the transfer and closes by itself when the last byte has been
// passed on; when the device is lost it stays and says how far it got.
class FileSendWindow : public ProgressWindow
{
    Q_OBJECT

public:
    FileSendWindow(FileTransfer &transfer, QWidget *parent = nullptr);

protected:
    bool isRunning() const override { return m_transfer.isRunning(); }
    void cancel() override { m_transfer.cancel(); }

private:
    void onFinished(FileTransfer::Outcome outcome);

    FileTransfer &m_transfer;
};
