#include "frmeinstellungen.h"

#include "base/dialogs.h"
#include "base/errorreport.h"
#include "base/messages.h"
#include "base/statuspanels.h"
#include "devices/comportmap.h"
#include "devices/devicescan.h"
#include "devices/reconnector.h"
#include "indicatorball.h"
#include "optiongroup.h"
#include "serial/connectionchoices.h"
#include "serial/deviceholder.h"
#include "serial/mscomm.h"

FrmEinstellungen::FrmEinstellungen(Module1 &state, MSComm &comm, Reconnector &reconnector,
    StatusPanels &status, std::function<bool(Messages::SendEnding)> mayClosePort, QWidget *parent)
    : ChildWindow(state, WindowIndex::kEinstellungen, parent)
    , m_comm(comm)
    , m_reconnector(reconnector)
    , m_status(status)
    , m_mayClosePort(std::move(mayClosePort))
{
    setWindowTitle(tr("Einstellungen"));
    buildControls();
    connect(Command3, &QPushButton::clicked, this, &FrmEinstellungen::connectPort);
    connect(Command2, &QPushButton::clicked, this, &FrmEinstellungen::disconnectPort);
    connect(Command1, &QPushButton::clicked, this, &ChildWindow::hideWindow);
    // A context menu request comes with the right mouse button and with the
    // menu key alike, so the keyboard reaches the dialog here too.
    for (QRadioButton *option : Option1) {
        option->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(option, &QWidget::customContextMenuRequested, this,
            &FrmEinstellungen::deviceAssignmentRequested);
    }
    connect(&m_comm, &MSComm::opened, this, [this] {
        if (m_pendingSettingsText)
            showConnected(*std::exchange(m_pendingSettingsText, std::nullopt));
    });
    connect(&m_comm, &MSComm::openFailed, this, &FrmEinstellungen::onOpenFailed);
    // Only a stored -1 leaves the list without a selection; a Ctrl+click on
    // the selected rate must not empty it and make the next connect fail.
    connect(List2, &QListWidget::itemSelectionChanged, this, [this] {
        if (List2->selectedItems().isEmpty() && List2->currentItem())
            List2->currentItem()->setSelected(true);
    });
}

FrmEinstellungen::~FrmEinstellungen()
{
    // Nobody would be left to say how the connection ended; the status bar
    // may be going as well, and is left alone.
    if (m_pendingSettingsText)
        (void)m_comm.setPortOpen(false);
}

Qt::WindowFlags FrmEinstellungen::frameButtons() const
{
    return Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

void FrmEinstellungen::Form_Load()
{
    const auto &choices = state().ConnectionSettings;
    const int baud = choices[0];
    List2->clearSelection();
    if (baud == -1) {
        List2->setCurrentRow(-1, QItemSelectionModel::Clear);
    } else {
        List2->setCurrentRow(baud >= 0 && baud < List2->count() ? baud : 0);
    }
    OptionGroup::select(Option1, choices[1]);
    OptionGroup::select(Option2, choices[2]);
    OptionGroup::select(Option3, choices[3]);
    OptionGroup::select(Option4, choices[4]);
    setConnectedLook(false);
    updatePortToolTips();
}

void FrmEinstellungen::storeState()
{
    auto &choices = state().ConnectionSettings;
    const QList<QListWidgetItem *> selected = List2->selectedItems();
    choices[0] = std::int16_t(selected.isEmpty() ? -1 : List2->row(selected.first()));
    const int groups[4] = { OptionGroup::selected(Option1), OptionGroup::selected(Option2),
        OptionGroup::selected(Option3), OptionGroup::selected(Option4) };
    for (int i = 0; i < 4; ++i) {
        if (groups[i] >= 0)
            choices[i + 1] = std::int16_t(groups[i]);
    }
}

void FrmEinstellungen::connectPort()
{
    const auto fail = [this](const CommError &error) {
        if (error.number == CommErrorNumber::kPortInUse) {
            // The box keeps its one sentence; the tool tip names the holder.
            noteHolder(m_comm.CommPort());
            Dialogs::current().message(
                tr("COM%1 wird von einem anderen Gerät benutzt und steht nicht "
                   "zur Verfügung.")
                    .arg(m_comm.CommPort()),
                tr("Serieller Port-Fehler"));
        } else {
            ShowErrorReport(error);
        }
    };

    if (m_pendingSettingsText)
        return giveUpConnecting();
    if (m_comm.PortOpen()) {
        if (m_mayClosePort && !m_mayClosePort(Messages::SendEnding::Reconnect))
            return;
        if (CommResult error = m_comm.setPortOpen(false))
            return fail(*error);
    }
    m_reconnector.stopWaiting();
    const QList<QListWidgetItem *> baudItems = List2->selectedItems();
    const ConnectionChoices::Connection chosen = ConnectionChoices::connectionFor({
        OptionGroup::selected(Option1),
        baudItems.isEmpty() ? -1 : List2->row(baudItems.first()),
        OptionGroup::selected(Option2),
        OptionGroup::selected(Option3),
        OptionGroup::selected(Option4),
    });
    if (CommResult error = m_comm.setCommPort(chosen.commPort))
        return fail(*error);
    // A port that stood for no device may have one now: an adapter plugged
    // in after the start.
    if (ComPortMap::devicePath(chosen.commPort).isEmpty()) {
        ComPortMap::offerDevices(DeviceScan::usableDevices());
        updatePortToolTips();
    }

    if (!chosen.line) {
        // untranslated: the error's source, the name of the window that raised it
        return fail({ CommErrorNumber::kInvalidSettings, QStringLiteral("FrmEinstellungen"),
            //: Parity, data bits and stop bits are the serial line settings
            tr("Parität, Datenbits und Stopbits müssen gewählt sein.") });
    }
    if (CommResult error = m_comm.setSettings(chosen.line->settings))
        return fail(*error);
    // MSComm always delivers what it received as bytes, the binary input
    // mode of the control it stands in for; there is no mode to choose.
    if (CommResult error = m_comm.setPortOpen(true))
        return fail(*error);
    if (m_comm.isConnecting()) {
        m_pendingSettingsText = chosen.line->panelText;
        m_status.showConnecting(m_comm.CommPort(), m_comm.devicePath());
        Command2->setEnabled(true);
        return;
    }
    showConnected(chosen.line->panelText);
}

void FrmEinstellungen::showConnected(const QString &settingsText)
{
    forgetHolder(m_comm.CommPort());
    setConnectedLook(true);
    m_status.setPanelText(1, settingsText);
    m_status.showConnection(m_comm.CommPort(), m_comm.openPath(), m_comm.openDevice());
}

void FrmEinstellungen::onOpenFailed(const CommError &error)
{
    if (!m_pendingSettingsText)
        return;
    m_pendingSettingsText.reset();
    showDisconnected();
    ShowErrorReport(error);
}

void FrmEinstellungen::giveUpConnecting()
{
    m_pendingSettingsText.reset();
    (void)m_comm.setPortOpen(false);
    showDisconnected();
    Command3->setFocus();
}

void FrmEinstellungen::disconnectPort()
{
    if (m_pendingSettingsText)
        return giveUpConnecting();
    if (!m_comm.PortOpen()) {
        // While Tavel waits for a lost device there is a connection to end.
        if (m_reconnector.isWaiting()) {
            m_reconnector.stopWaiting();
            showDisconnected();
            Command3->setFocus();
            return;
        }
        Dialogs::current().message(Messages::noConnection(), kApplicationTitle);
        return;
    }
    if (m_mayClosePort && !m_mayClosePort(Messages::SendEnding::Disconnect))
        return;
    (void)m_comm.setPortOpen(false);
    showDisconnected();
    Command3->setFocus();
}

void FrmEinstellungen::offerOnlyPort(int port)
{
    for (int i = 0; i < int(Option1.size()); ++i)
        Option1[i]->setEnabled(i == port - ComPortMap::kFirstPort);
    Option1[port - ComPortMap::kFirstPort]->setChecked(true);
}

void FrmEinstellungen::setPortUsable(int port, bool usable)
{
    QRadioButton *option = Option1[port - ComPortMap::kFirstPort];
    option->setEnabled(usable);
    if (usable || !option->isChecked())
        return;
    for (QRadioButton *other : Option1) {
        if (other->isEnabled()) {
            other->setChecked(true);
            return;
        }
    }
}

void FrmEinstellungen::showDisconnected()
{
    m_status.showNoConnection();
    setConnectedLook(false);
}

void FrmEinstellungen::showReconnected()
{
    forgetHolder(m_comm.CommPort());
    setConnectedLook(true);
}

void FrmEinstellungen::updatePortToolTips()
{
    for (int i = 0; i < int(Option1.size()); ++i) {
        const int port = ComPortMap::kFirstPort + i;
        HolderNote &note = m_holderNotes[std::size_t(i)];
        if (note.device != ComPortMap::devicePath(port))
            note = {};
        Option1[i]->setToolTip(ConnectionChoices::portToolTip(port, note.holder));
    }
}

void FrmEinstellungen::noteHolder(int port)
{
    const QString device = ComPortMap::devicePath(port);
    m_holderNotes[std::size_t(port - ComPortMap::kFirstPort)]
        = { device, DeviceHolder::describe(device) };
    updatePortToolTips();
}

void FrmEinstellungen::forgetHolder(int port)
{
    m_holderNotes[std::size_t(port - ComPortMap::kFirstPort)] = {};
    updatePortToolTips();
}

void FrmEinstellungen::setConnectedLook(bool connected)
{
    Image1[0]->setVisible(!connected);
    Image1[1]->setVisible(connected);
    Command2->setEnabled(connected);
}
