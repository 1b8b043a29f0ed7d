#pragma once

#include <QByteArrayView>
#include <QObject>
#include <memory>

class CaptureFile;
class QAction;

// "&Mitschnitt …": from the moment the user picks a file, every received byte
// is appended to it as it arrives, across reconnects and "Empfangsfenster
// löschen", until "&Mitschnitt beenden", the end of the program or a write
// that fails. The menu item's caption says which of the two it does.
class CaptureCommand : public QObject
{
    Q_OBJECT

public:
    explicit CaptureCommand(QObject *parent = nullptr);
    ~CaptureCommand() override;

    // The menu item whose caption follows the capture.
    void setAction(QAction *action);
    // Starts a capture into a file the user picks, or ends the one running.
    void toggle();
    // What one read delivered.
    void received(QByteArrayView bytes);
    void stop();

    static QString startCaption();
    static QString stopCaption();

private:
    void updateCaption();

    std::unique_ptr<CaptureFile> m_file;
    QAction *m_action = nullptr;
};
