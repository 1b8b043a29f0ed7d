#pragma once

#include "automation/buttoncommands.h"
#include "automation/routineoutput.h"
#include "automation/routinessettings.h"
#include "automation/routinessettingsstore.h"
#include "ownsettingsfile.h"

#include <QObject>
#include <memory>

class MSComm;
class Routines;
class Transmitter;

// The "Abläufe" behind their window: the file beside tavel.cfg, read at
// start-up and written whenever the user changes a repeat, a rule or the
// window's place; the repeats and answers, which send through the same
// transmit step as the automation window's buttons; and the one box that
// says they stopped when the connection ended.
class RoutinesCommand : public QObject, public RoutineOutput
{
    Q_OBJECT

public:
    RoutinesCommand(const QString &settingsPath, MSComm &comm, Transmitter &transmitter,
        ButtonCommands buttons, QObject *parent = nullptr);
    ~RoutinesCommand() override;

    // At start-up: a damaged file is reported and the defaults hold, and the
    // file stays as it is until the user changes something.
    void load();
    // After the start-up probe: the end of a connection stops the repeats and
    // answers from now on.
    void followConnection();
    // What the window changes; save() writes it if anything changed.
    RoutinesSettings &settings() { return m_file.settings(); }
    void save() { m_file.save(); }
    Routines &routines() { return *m_routines; }
    const ButtonCommands &buttons() const { return m_buttons; }
    // The program ends: everything stops, and nothing more is reported.
    void stop();

    bool connectionCheck() override;
    bool hasCommands(int button) const override;
    void sendButton(int button) override;
    void sendPayload(const QByteArray &bytes, const QString &textEcho,
        const std::optional<QString> &hexEcho) override;

private:
    void reportStopped();

    OwnSettingsFile<RoutinesSettingsStore, RoutinesSettings> m_file;
    Transmitter &m_transmitter;
    ButtonCommands m_buttons;
    std::unique_ptr<Routines> m_routines;
    bool m_stopped = false;
};
