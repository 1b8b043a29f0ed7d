#pragma once

#include "answerwatch.h"
#include "repeatrun.h"
#include "routinessettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class MSComm;
class QTimer;
class RoutineOutput;

// What runs by itself on the open port: each automation button's commands
// repeated on a timer, and the rules that answer patterns in the received
// bytes. Both run only while the port is open. When the connection ends, on
// purpose or by a lost device, everything stops at once and stays stopped
// when it comes back: the user starts it again, knowing which device now
// listens.
//
// At program start nothing repeats, and answering is on: the rules answer
// as they were saved, once the user connects.
class Routines : public QObject
{
    Q_OBJECT

public:
    static constexpr int kButtonCount = RoutinesSettings::kButtonCount;

    enum class StartResult { Started, NotConnected, NothingToSend };

    Routines(MSComm &comm, RoutineOutput &output, QObject *parent = nullptr);
    ~Routines() override;

    // From now on, the end of a connection stops everything. Not before:
    // the start-up probe opens and closes the ports, which ends nothing the
    // user had started.
    void followConnection();

    // Buttons are counted from 1. A start while the port is closed gets the
    // connection check's message and starts nothing.
    StartResult startRepeat(int button, RoutinesSettings::Repeat repeat);
    void stopRepeat(int button);
    void stopAllRepeats();
    const RepeatRun &repeat(int button) const { return *m_runs[size_t(button - 1)]; }
    bool anyRepeatRunning() const;

    // The rules as the file keeps them; answers still waiting for their delay
    // are dropped, and the hit counts start again.
    void setRules(const QList<RoutinesSettings::Rule> &rules);
    // Starting watches afresh: every rule that is done or braked watches again.
    void setAnswering(bool on);
    bool isAnswering() const { return m_answering; }
    const AnswerWatch &watch() const { return m_watch; }
    // A rule that is done or braked watches again.
    void restartRule(int rule);

    // The received bytes, as read from the port, before anything else looks
    // at them; answers without delay go out before this returns.
    void received(QByteArrayView bytes);

Q_SIGNALS:
    void repeatChanged(int button);
    // A rule answered, was braked, or answering was switched.
    void answersChanged();
    // The connection ended while something ran; reported once, however many
    // repeats and rules it stopped.
    void stoppedByConnectionEnd();

private:
    // What answers a rule, worked out once when the rules are set.
    struct Answer
    {
        int button = 0;
        QByteArray bytes;
        QString textEcho;
        std::optional<QString> hexEcho;
        int delayMs = 0;
    };

    RepeatRun::Attempt sendRepeat(int button);
    void answer(int rule);
    void answerLater(int rule, int delayMs);
    void dropPendingAnswers();
    void connectionEnded();
    int rulesWatching() const;

    MSComm &m_comm;
    RoutineOutput &m_output;
    std::array<std::unique_ptr<RepeatRun>, kButtonCount> m_runs;
    // Where each button's last repeated send ends in the port's output: until
    // the driver has taken it, the next one is skipped.
    std::array<qint64, kButtonCount> m_queuedUntil {};
    AnswerWatch m_watch;
    std::vector<Answer> m_answers;
    std::vector<QTimer *> m_pending;
    bool m_answering = true;
    bool m_following = false;
    QElapsedTimer m_clock;
};
