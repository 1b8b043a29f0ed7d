#pragma once

#include "base/messages.h"

#include <QObject>
#include <memory>

class FileTransfer;
class MSComm;
class QWidget;
class Transmitter;

// "&Datei senden": the user picks a file, it is read whole and handed to the
// port in one piece (FileTransfer), and a progress window with "Abbrechen"
// follows it while the line drains. One file is sent at a time.
class SendFileCommand : public QObject
{
    Q_OBJECT

public:
    // transmitter: its connection check, the one the input window makes
    // before it sends. window: the parent of the progress window.
    SendFileCommand(MSComm &comm, Transmitter &transmitter, QWidget *window);
    ~SendFileCommand() override;

    void send();

    // The transfer, running or not.
    FileTransfer &transfer() const { return *m_transfer; }
    // Asks before something ends a file send that is still under way; true
    // when nothing is under way or the user agrees to give up the rest.
    bool mayDropSend(Messages::SendEnding ending);
    // Gives the rest of a running send up.
    void cancel();
    // Before the port closes: asks, and gives the rest up at once when the
    // user agrees; false when the user keeps the send going.
    bool giveUpIfAgreed(Messages::SendEnding ending);

private:
    Transmitter &m_transmitter;
    QWidget *m_window = nullptr;
    std::unique_ptr<FileTransfer> m_transfer;
};
