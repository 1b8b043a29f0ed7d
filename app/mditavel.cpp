#include "mditavel.h"

#include "appicon.h"
#include "automation/buttoncommands.h"
#include "automation/frmablaeufe.h"
#include "automation/frmautomat.h"
#include "automation/routines.h"
#include "base/clickraiser.h"
#include "base/dialogs.h"
#include "capturecommand.h"
#include "deviceassignmentcommand.h"
#include "linescommand.h"
#include "portprobe.h"
#include "replugcommand.h"
#include "routinescommand.h"
#include "savecommands.h"
#include "sendfilecommand.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "statusbar.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frminfo.h"
#include "windows/frmleitungen.h"
#include "windows/frmsendefenster.h"
#include "windows/transmitter.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>

MDITavel::MDITavel(const QString &settingsPath, std::unique_ptr<MSComm> comm, QWidget *parent)
    : QMainWindow(parent)
    , m_store(settingsPath)
    , m_place(MainWindowPlace::pathBeside(settingsPath))
    , m_comm(comm ? std::move(comm) : std::make_unique<MSComm>())
{
    setWindowTitle(kApplicationTitle);
    setWindowIcon(tavelIcon());
    setAccessibleName(kApplicationTitle);
    m_mdiArea = new QMdiArea(this);
    //: Accessible name of the area that holds the child windows
    m_mdiArea->setAccessibleName(tr("Arbeitsbereich"));
    m_mdiArea->setBackground(palette().dark());
    setCentralWidget(m_mdiArea);
    new ClickRaiser(*m_mdiArea, this);
    m_statusBar = new StatusBar(this);
    setStatusBar(m_statusBar);
    resize(1000, 720);

    QMdiArea &area = *m_mdiArea;
    m_transmitter = std::make_unique<Transmitter>(
        *m_comm, [this]() -> FrmSendefenster & { return m_sendefenster->get(); });
    m_sendFile = std::make_unique<SendFileCommand>(*m_comm, *m_transmitter, this);
    m_eingabe = std::make_unique<FormSlot<FrmEingabe>>(
        area, [this] { return new FrmEingabe(m_state, *m_transmitter); });
    m_sendefenster = std::make_unique<FormSlot<FrmSendefenster>>(
        area, [this] { return new FrmSendefenster(m_state); });
    m_empfang
        = std::make_unique<FormSlot<FrmEmpfang>>(area, [this] { return new FrmEmpfang(m_state); });
    m_einstellungen = std::make_unique<FormSlot<FrmEinstellungen>>(area, [this] {
        auto *settings
            = new FrmEinstellungen(m_state, *m_comm, m_replug->reconnector(), *m_statusBar,
                [this](Messages::SendEnding ending) { return m_sendFile->giveUpIfAgreed(ending); });
        connect(settings, &FrmEinstellungen::deviceAssignmentRequested, m_deviceAssignment.get(),
            &DeviceAssignmentCommand::choose, Qt::QueuedConnection);
        return settings;
    });
    m_automat = std::make_unique<FormSlot<frmAutomat>>(area, [this] {
        return new frmAutomat(m_state, *m_transmitter, [this] { m_empfang->get().clearViews(); });
    });
    m_saveCommands = std::make_unique<SaveCommands>(
        [this]() -> const TrafficLog * {
            const FrmEmpfang *received = m_empfang->loaded();
            return received ? &received->log() : nullptr;
        },
        [this]() -> const TrafficLog * {
            const FrmSendefenster *sent = m_sendefenster->loaded();
            return sent ? &sent->handedOver() : nullptr;
        },
        this);
    m_capture = std::make_unique<CaptureCommand>();
    m_deviceAssignment = std::make_unique<DeviceAssignmentCommand>(
        DeviceAssignmentStore::pathBeside(settingsPath), *m_einstellungen, *m_comm, this);
    m_replug = std::make_unique<ReplugCommand>(*m_comm, *m_statusBar, *m_einstellungen);
    m_linesCommand = std::make_unique<LinesCommand>(settingsPath, m_comm->lines());
    m_leitungen = std::make_unique<FormSlot<FrmLeitungen>>(area, [this] {
        return new FrmLeitungen(m_state, m_comm->lines(), m_linesCommand->settings(),
            [this] { m_linesCommand->save(); });
    });

    m_routinesCommand = std::make_unique<RoutinesCommand>(settingsPath, *m_comm, *m_transmitter,
        ButtonCommands(
            m_state, *m_automat, *m_transmitter, [this] { m_empfang->get().clearViews(); }));
    m_ablaeufe = std::make_unique<FormSlot<FrmAblaeufe>>(area, [this] {
        return new FrmAblaeufe(m_state, m_routinesCommand->routines(), m_routinesCommand->buttons(),
            m_routinesCommand->settings(), [this] { m_routinesCommand->save(); });
    });

    buildMenus();
    connect(m_comm.get(), &MSComm::OnComm, this, &MDITavel::OnComm);
    connect(m_comm.get(), &MSComm::connectionLost, m_replug.get(), &ReplugCommand::deviceLost);
}

// The child windows are deleted with the MDI area; the port closes as the
// serial-port object goes.
MDITavel::~MDITavel() = default;

MDITavel::StartOutcome MDITavel::MDIForm_Load()
{
    SettingsStore::LoadResult loaded = m_store.load();
    static_cast<SavedState &>(m_state) = loaded.state;
    if (!loaded.problem.isEmpty())
        Dialogs::current().message(loaded.problem, kApplicationTitle);
    m_deviceAssignment->load();
    // The probe opens the ports, which already take the lines as chosen.
    m_linesCommand->load();
    m_routinesCommand->load();

    ProbeCom1(*m_comm, m_state);
    // No free port: the user may point COM1 or COM2 at a device before the
    // program gives up, which is also where the probe's report sends them.
    if (m_state.PortMask == 0 && m_deviceAssignment->choose())
        ProbeCom1(*m_comm, m_state);
    if (m_state.PortMask == 0) {
        Dialogs::current().message(tr("Es wurde kein freier COM-Port gefunden, das "
                                      "Programm kann nicht ausgeführt werden."),
            tr("Serielles Problem"));
        shutdown();
        return StartOutcome::EndProgram;
    }
    m_linesCommand->reportRefusals();
    m_routinesCommand->followConnection();

    // The main window appears together with its first child, so that the
    // messages below stand over it.
    if (restorePlace())
        showMaximized();
    else
        show();
    m_eingabe->show();
    FrmEinstellungen &settings = m_einstellungen->show();
    if (m_state.PortMask == 1 || m_state.PortMask == 2) {
        settings.offerOnlyPort(m_state.PortMask);
        Dialogs::current().message(
            //: %1 is the port number (1 or 2)
            tr("Es steht nur COM%1 zur Verfügung").arg(m_state.PortMask),
            tr("Serieller Port-Test"));
    }
    m_einstellungen->show();
    return StartOutcome::Running;
}

void MDITavel::showInfo()
{
    FrmInfo info(this);
    info.exec();
}

void MDITavel::closeEvent(QCloseEvent *event)
{
    // Shutdown is refused only by the user's own answer: a file still on its
    // way out, or still being saved. A shutdown from outside (a signal) is
    // never asked about.
    if (!m_shutDown
        && (!m_sendFile->mayDropSend(Messages::SendEnding::Quit)
            || !m_saveCommands->mayDropSave())) {
        event->ignore();
        return;
    }
    shutdown();
    event->accept();
}

void MDITavel::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_replug->stop();
    m_routinesCommand->stop();
    m_deviceAssignment->stop();
    m_sendFile->cancel();
    m_saveCommands->cancel();
    m_capture->stop();
    m_eingabe->unload();
    m_sendefenster->unload();
    m_empfang->unload();
    m_einstellungen->unload();
    m_automat->unload();
    m_leitungen->unload();
    m_ablaeufe->unload();
    MDIForm_Unload();
}

void MDITavel::MDIForm_Unload()
{
    writeSettings();
    storePlace();
}

bool MDITavel::restorePlace()
{
    const std::optional<MainWindowPlace::Place> place = m_place.load();
    // A place on a screen that is gone would hide the window: the default
    // place serves better.
    if (!place || !QGuiApplication::screenAt(place->normal.center()))
        return false;
    setGeometry(place->normal);
    return place->maximised;
}

void MDITavel::storePlace()
{
    // Only a window that was shown has a place of the user's; a failed save
    // loses no more than the place, which tavel.cfg's own box already covers
    // when the folder cannot be written.
    if (isVisible())
        m_place.save({ normalGeometry(), isMaximized() });
}

void MDITavel::saveSettings()
{
    // What the shutdown gathers by unloading the windows, with the windows
    // left open; the shutdown gathers and writes it once more.
    m_eingabe->storeState();
    m_sendefenster->storeState();
    m_empfang->storeState();
    m_einstellungen->storeState();
    m_automat->storeState();
    // Into the lines and routines windows' own files, not tavel.cfg.
    m_leitungen->storeState();
    m_ablaeufe->storeState();
    writeSettings();
}

void MDITavel::writeSettings()
{
    const SettingsStore::SaveResult saved = m_store.save(m_state);
    if (!saved.ok())
        Dialogs::current().message(saved.problem, kApplicationTitle);
}
