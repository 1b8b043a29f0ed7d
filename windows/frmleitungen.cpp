#include "frmleitungen.h"

#include "base/dialogs.h"
#include "linelamp.h"
#include "serial/linebits.h"
#include "serial/linessettings.h"
#include "serial/portlines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <utility>

namespace {

constexpr std::array<int, 4> kLampBits { LineBits::kCts, LineBits::kDsr, LineBits::kDcd,
    LineBits::kRi };

LineChoices::Level levelAt(const QComboBox *box)
{
    return box->currentIndex() == 0 ? LineChoices::Level::On : LineChoices::Level::Off;
}

int indexOf(LineChoices::Level level)
{
    return level == LineChoices::Level::On ? 0 : 1;
}

} // namespace

FrmLeitungen::FrmLeitungen(Module1 &state, PortLines &lines, LinesSettings &settings,
    std::function<void()> save, QWidget *parent)
    : ChildWindow(state, parent)
    , m_lines(lines)
    , m_settings(settings)
    , m_save(std::move(save))
{
    //: The window of the modem control lines (DTR, RTS, CTS, DSR, DCD, RI).
    setWindowTitle(tr("Leitungen"));
    buildControls();
    // Until a port is open, the window starts at COM1.
    portOptions[0]->setChecked(true);
    breakLength->setValue(m_settings.breakMs());
    showChoices();
    showLines();
    connectControls();
    connect(&m_lines, &PortLines::changed, this, &FrmLeitungen::showLines);
}

void FrmLeitungen::connectControls()
{
    for (QRadioButton *option : portOptions) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                showChoices();
        });
    }
    const auto taken = [this] {
        if (!m_showing)
            takeChoices();
    };
    for (QRadioButton *option : flowOptions) {
        connect(option, &QRadioButton::toggled, this, [taken](bool on) {
            if (on)
                taken();
        });
    }
    connect(dtrAtOpen, &QComboBox::currentIndexChanged, this, taken);
    connect(rtsAtOpen, &QComboBox::currentIndexChanged, this, taken);
    connect(keepDtr, &QCheckBox::toggled, this, taken);
    connect(breakLength, &QSpinBox::valueChanged, this, [this](int ms) {
        m_settings.setBreakMs(ms);
        m_save();
    });
    // A refusal is no box: the lines then count as unknown, and the button
    // says why. The button shows what the line is, not what was clicked.
    for (auto [button, bit] :
        { std::pair(dtrButton, LineBits::kDtr), std::pair(rtsButton, LineBits::kRts) }) {
        connect(button, &QPushButton::clicked, this, [this, bit](bool on) {
            m_lines.setOwnLine(bit, on);
            showLines();
        });
    }
    connect(breakButton, &QPushButton::clicked, this, &FrmLeitungen::sendBreak);
    connect(closeButton, &QPushButton::clicked, this, &ChildWindow::hideWindow);
}

Qt::WindowFlags FrmLeitungen::frameButtons() const
{
    return Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

QPoint FrmLeitungen::storedPlace() const
{
    return m_settings.windowPlace().value_or(kFirstPlace);
}

void FrmLeitungen::storePlace(QPoint twips)
{
    m_settings.setWindowPlace(twips);
}

void FrmLeitungen::storeState()
{
    m_save();
}

int FrmLeitungen::shownPort() const
{
    for (int i = 0; i < int(portOptions.size()); ++i) {
        if (portOptions[i]->isChecked())
            return ComPortMap::kFirstPort + i;
    }
    return ComPortMap::kFirstPort;
}

void FrmLeitungen::showLines()
{
    const int open = m_lines.port();
    // The choices of the open port are the ones that act now; the other
    // port's wait for its next opening and are edited while it is closed.
    for (int i = 0; i < int(portOptions.size()); ++i) {
        const int port = ComPortMap::kFirstPort + i;
        portOptions[i]->setEnabled(open == 0 || port == open);
        if (port == open)
            portOptions[i]->setChecked(true);
    }

    QString whyNot;
    if (open == 0)
        whyNot = tr("Nicht verbunden.");
    else if (!m_lines.linesKnown())
        //: %1 is the reason the driver gives.
        whyNot = tr("Steuerleitungen nicht verfügbar: %1.").arg(m_lines.whyUnknown());
    showOwnLine(dtrButton, LineBits::kDtr, whyNot);
    const bool driverSetsRts
        = open != 0 && m_lines.choices(open).flowControl == LineChoices::FlowControl::RtsCts;
    showOwnLine(rtsButton, LineBits::kRts,
        whyNot.isEmpty() && driverSetsRts ? tr("Bei RTS/CTS setzt der Treiber RTS selbst.")
                                          : whyNot);

    // A flow control the driver refused is said where it was chosen.
    const QString flowNote = open == 0 || m_lines.flowProblem().isEmpty()
        ? QString()
        //: %1 is the reason the driver refused the chosen flow control.
        : tr("Ohne Flusssteuerung verbunden: %1.").arg(m_lines.flowProblem());
    for (QRadioButton *option : flowOptions) {
        const QString note = option->isChecked() ? flowNote : QString();
        option->setToolTip(note);
        if (option->accessibleDescription() != note)
            option->setAccessibleDescription(note);
    }

    for (std::size_t i = 0; i < lamps.size(); ++i) {
        const std::optional<bool> on = m_lines.line(kLampBits[i]);
        lamps[i]->setState(!on ? LineLamp::State::Unknown
                : *on          ? LineLamp::State::On
                               : LineLamp::State::Off);
    }

    breakButton->setEnabled(open != 0 && !m_lines.isBreaking());
    const QString breakNote = open == 0 ? whyNot
        : m_lines.breakProblem().isEmpty()
        ? QString()
        //: A BREAK signal on the serial line; %1 is the reason the driver gives.
        : tr("Break nicht möglich: %1.").arg(m_lines.breakProblem());
    breakButton->setToolTip(breakNote);
    breakButton->setAccessibleDescription(breakNote);
}

void FrmLeitungen::showOwnLine(QPushButton *button, int bit, const QString &whyNot)
{
    const std::optional<bool> on = m_lines.line(bit);
    const LineLamp::State state = !on ? LineLamp::State::Unknown
        : *on                         ? LineLamp::State::On
                                      : LineLamp::State::Off;
    button->setEnabled(whyNot.isEmpty());
    button->setChecked(on.value_or(false));
    // A pressed button looks only a little darker than a released one; the
    // lamp on it says at a glance whether the line is on.
    button->setIcon(LineLamp::icon(state, button->fontMetrics().ascent(), button->palette()));
    const QString name = button->text().remove(QLatin1Char('&')) + QStringLiteral(": ")
        + LineLamp::stateWord(state);
    // Set only on a change: each call announces the name anew.
    if (button->accessibleName() != name)
        button->setAccessibleName(name);
    button->setToolTip(whyNot);
    if (button->accessibleDescription() != whyNot)
        button->setAccessibleDescription(whyNot);
}

void FrmLeitungen::showChoices()
{
    const LineChoices choices = m_settings.choices(shownPort());
    m_showing = true;
    const auto &rows = LineChoices::flowRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].value == choices.flowControl)
            flowOptions[i]->setChecked(true);
    }
    dtrAtOpen->setCurrentIndex(indexOf(choices.dtrAtOpen));
    rtsAtOpen->setCurrentIndex(indexOf(choices.rtsAtOpen));
    // Under RTS/CTS the driver raises RTS itself as the port opens.
    const bool driverSetsRts = choices.flowControl == LineChoices::FlowControl::RtsCts;
    rtsAtOpen->setEnabled(!driverSetsRts);
    const QString rtsNote
        = driverSetsRts ? tr("Bei RTS/CTS setzt der Treiber RTS selbst.") : QString();
    rtsAtOpen->setToolTip(rtsNote);
    rtsAtOpen->setAccessibleDescription(rtsNote);
    keepDtr->setChecked(choices.keepDtrAfterClose);
    m_showing = false;
}

void FrmLeitungen::takeChoices()
{
    const int port = shownPort();
    LineChoices choices;
    const auto &rows = LineChoices::flowRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (flowOptions[i]->isChecked())
            choices.flowControl = rows[i].value;
    }
    choices.dtrAtOpen = levelAt(dtrAtOpen);
    choices.rtsAtOpen = levelAt(rtsAtOpen);
    choices.keepDtrAfterClose = keepDtr->isChecked();
    if (choices == m_settings.choices(port))
        return;
    m_settings.setChoices(port, choices);
    m_save();
    // Kept for the next opening even when the driver refuses it now; the
    // port object says so.
    m_lines.setChoices(port, choices);
}

void FrmLeitungen::sendBreak()
{
    // A number typed and not yet confirmed counts, as the user sees it.
    breakLength->interpretText();
    m_lines.sendBreak(breakLength->value());
}
