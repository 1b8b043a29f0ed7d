#pragma once

#include "base/formslot.h"
#include "base/module1.h"
#include "config/mainwindowplace.h"
#include "config/settingsstore.h"
#include "serial/mscomm.h"

#include <QMainWindow>
#include <memory>

class CaptureCommand;
class DeviceAssignmentCommand;
class FrmEingabe;
class FrmAblaeufe;
class FrmEinstellungen;
class FrmEmpfang;
class FrmLeitungen;
class FrmSendefenster;
class frmAutomat;
class LinesCommand;
class QMdiArea;
class ReplugCommand;
class RoutinesCommand;
class SaveCommands;
class SendFileCommand;
class StatusBar;
class Transmitter;

// The main window: a multiple-document window holding the child windows, with
// the menu bar and the status bar. It owns the serial-port object, starts the
// program (MDIForm_Load) and ends it (closing, then MDIForm_Unload).
class MDITavel : public QMainWindow
{
    Q_OBJECT

public:
    enum class StartOutcome { Running, EndProgram };

    // comm: the serial-port object to use; tests hand in one that can fake
    // events a pseudo-terminal cannot produce.
    explicit MDITavel(
        const QString &settingsPath, std::unique_ptr<MSComm> comm = {}, QWidget *parent = nullptr);
    ~MDITavel() override;

    // Start-up. EndProgram when no port is usable: the settings file has then
    // been written and the caller ends the program without showing anything.
    StartOutcome MDIForm_Load();

    Module1 &state() { return m_state; }
    MSComm &MSComm1() { return *m_comm; }
    StatusBar &StatusBar1() { return *m_statusBar; }
    QMdiArea &mdiArea() { return *m_mdiArea; }

    FormSlot<FrmEingabe> &eingabe() { return *m_eingabe; }
    FormSlot<FrmSendefenster> &sendefenster() { return *m_sendefenster; }
    FormSlot<FrmEmpfang> &empfang() { return *m_empfang; }
    FormSlot<FrmEinstellungen> &einstellungen() { return *m_einstellungen; }
    FormSlot<frmAutomat> &automat() { return *m_automat; }
    FormSlot<FrmLeitungen> &leitungen() { return *m_leitungen; }
    FormSlot<FrmAblaeufe> &ablaeufe() { return *m_ablaeufe; }
    // The repeats and answering rules, and their file.
    RoutinesCommand &routinesCommand() { return *m_routinesCommand; }

    // "&Info": the info window, modal.
    void showInfo();
    // "&Datei senden".
    SendFileCommand &sendFileCommand() { return *m_sendFile; }
    // What happens when the device of the open port goes away and returns.
    ReplugCommand &replugCommand() { return *m_replug; }
    // "&Gesendete Daten speichern", "&Empfangene Daten speichern".
    SaveCommands &saveCommands() { return *m_saveCommands; }
    // "Einstellungen &speichern": writes tavel.cfg now, as the shutdown would.
    void saveSettings();
    // Whether the shutdown (child windows unloaded, settings written) has run.
    bool isShutDown() const { return m_shutDown; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The serial-port object's notification: received data, overrun.
    void OnComm();
    void buildMenus();
    void shutdown();
    void MDIForm_Unload();
    void writeSettings();
    // The main window's place from the last run; true when it was maximised.
    bool restorePlace();
    void storePlace();

    Module1 m_state;
    SettingsStore m_store;
    MainWindowPlace m_place;
    std::unique_ptr<MSComm> m_comm;
    std::unique_ptr<ReplugCommand> m_replug;
    QMdiArea *m_mdiArea = nullptr;
    StatusBar *m_statusBar = nullptr;
    std::unique_ptr<Transmitter> m_transmitter;
    std::unique_ptr<SendFileCommand> m_sendFile;
    std::unique_ptr<SaveCommands> m_saveCommands;
    std::unique_ptr<CaptureCommand> m_capture;
    std::unique_ptr<DeviceAssignmentCommand> m_deviceAssignment;
    std::unique_ptr<LinesCommand> m_linesCommand;
    std::unique_ptr<RoutinesCommand> m_routinesCommand;
    std::unique_ptr<FormSlot<FrmEingabe>> m_eingabe;
    std::unique_ptr<FormSlot<FrmSendefenster>> m_sendefenster;
    std::unique_ptr<FormSlot<FrmEmpfang>> m_empfang;
    std::unique_ptr<FormSlot<FrmEinstellungen>> m_einstellungen;
    std::unique_ptr<FormSlot<frmAutomat>> m_automat;
    std::unique_ptr<FormSlot<FrmLeitungen>> m_leitungen;
    std::unique_ptr<FormSlot<FrmAblaeufe>> m_ablaeufe;
    bool m_shutDown = false;
};
