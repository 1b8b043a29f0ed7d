#pragma once

#include "base/childwindow.h"
#include "base/messages.h"
#include "devices/comportmap.h"
#include "serial/commerror.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <functional>

class MSComm;
class Reconnector;
class StatusPanels;
class QGroupBox;

// The connection settings window: the only place that sets the line
// parameters and opens the port for use. Its choices live in the controls
// while it is loaded and in ConnectionSettings while it is not.
class FrmEinstellungen : public ChildWindow
{
    Q_OBJECT

public:
    // mayClosePort is asked before an open port is closed, to be opened again
    // or not, and may refuse (a file still on its way out that the user wants
    // to keep). reconnector
    // waits for a lost device; connecting and disconnecting end its wait.
    FrmEinstellungen(Module1 &state, MSComm &comm, Reconnector &reconnector, StatusPanels &status,
        std::function<bool(Messages::SendEnding)> mayClosePort = {}, QWidget *parent = nullptr);

    Qt::WindowFlags frameButtons() const override;
    QWidget *firstControl() const override { return Command3; }
    void Form_Load() override;
    void storeState() override;

    ~FrmEinstellungen() override;

    // Connect (Command3) and disconnect (Command2), also for tests. A port
    // on a serial server connects on the event loop: meanwhile the status
    // bar says so, and a second connect or a disconnect gives up.
    void connectPort();
    void disconnectPort();
    // Only COMn can be used: the other ports' options are disabled and this
    // one selected, until the window is next loaded.
    void offerOnlyPort(int port);
    // A probe after a new device assignment: COMn's option is enabled when
    // the port can be used and disabled when not; a chosen port that cannot
    // be used gives way to one that can.
    void setPortUsable(int port, bool usable);
    // The port is closed: the not-connected look and the two status texts
    // of a closed connection.
    void showDisconnected();
    // The lost device is back and open: the look and connection panel of a
    // connect.
    void showReconnected();
    // Tells in each port option's tool tip which device the port stands for,
    // and who held it when the last connect found it held.
    void updatePortToolTips();
    bool looksConnected() const { return Image1[1]->isVisibleTo(this); }

    QLabel *Label1 = nullptr;
    QListWidget *List2 = nullptr;
    std::array<QRadioButton *, ComPortMap::kPortCount> Option1 {};
    std::array<QRadioButton *, 5> Option2 {};
    std::array<QRadioButton *, 4> Option3 {};
    std::array<QRadioButton *, 3> Option4 {};
    std::array<QLabel *, 2> Image1 {};
    QPushButton *Command3 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;

Q_SIGNALS:
    // The right mouse button (or the menu key) on a port option: the user
    // wants to choose the devices behind COM1 and COM2.
    void deviceAssignmentRequested();

private:
    // Who held a port's device when a connect found it held (8005). It
    // stays in the port's tool tip until a connect succeeds or the port
    // stands for another device.
    struct HolderNote
    {
        QString device;
        QString holder;
    };

    void buildControls();
    void showConnected(const QString &settingsText);
    void onOpenFailed(const CommError &error);
    void giveUpConnecting();
    void setConnectedLook(bool connected);
    void noteHolder(int port);
    void forgetHolder(int port);

    MSComm &m_comm;
    Reconnector &m_reconnector;
    StatusPanels &m_status;
    std::function<bool(Messages::SendEnding)> m_mayClosePort;
    std::array<HolderNote, ComPortMap::kPortCount> m_holderNotes {};
    // While this window's connect waits for a server: panel 1's text for
    // when it is done.
    std::optional<QString> m_pendingSettingsText;
};
