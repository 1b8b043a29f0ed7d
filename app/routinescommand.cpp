#include "routinescommand.h"

#include "automation/routines.h"
#include "base/dialogs.h"
#include "base/module1.h"
#include "windows/transmitter.h"

RoutinesCommand::RoutinesCommand(const QString &settingsPath, MSComm &comm,
    Transmitter &transmitter, ButtonCommands buttons, QObject *parent)
    : QObject(parent)
    , m_file(settingsPath)
    , m_transmitter(transmitter)
    , m_buttons(std::move(buttons))
    , m_routines(std::make_unique<Routines>(comm, *this))
{
    // Queued: the end of the connection is reported from inside the port's
    // closing, which a modal box must not interrupt.
    connect(m_routines.get(), &Routines::stoppedByConnectionEnd, this,
        &RoutinesCommand::reportStopped, Qt::QueuedConnection);
}

RoutinesCommand::~RoutinesCommand() = default;

void RoutinesCommand::load()
{
    m_file.load();
    m_routines->setRules(settings().rules());
}

void RoutinesCommand::followConnection()
{
    m_routines->followConnection();
}

void RoutinesCommand::stop()
{
    m_stopped = true;
    m_routines->stopAllRepeats();
    m_routines->setAnswering(false);
}

void RoutinesCommand::reportStopped()
{
    if (m_stopped)
        return;
    Dialogs::current().message(
        //: "Abläufe" = Routines, the window of repeats and answering rules
        tr("Die Verbindung ist beendet. Die Wiederholungen und Antworten der Abläufe "
           "sind angehalten und laufen erst wieder, wenn Sie sie im Fenster "
           "„Abläufe“ starten."),
        kApplicationTitle);
}

bool RoutinesCommand::connectionCheck()
{
    return m_transmitter.connectionCheck();
}

bool RoutinesCommand::hasCommands(int button) const
{
    return !m_buttons.payload(button - 1).isEmpty();
}

void RoutinesCommand::sendButton(int button)
{
    m_buttons.send(button - 1);
}

void RoutinesCommand::sendPayload(
    const QByteArray &bytes, const QString &textEcho, const std::optional<QString> &hexEcho)
{
    m_transmitter.transmit(bytes, textEcho, hexEcho);
}
