#include "routines.h"

#include "routineoutput.h"
#include "serial/mscomm.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"

#include <QTimer>
#include <algorithm>

Routines::Routines(MSComm &comm, RoutineOutput &output, QObject *parent)
    : QObject(parent)
    , m_comm(comm)
    , m_output(output)
{
    m_clock.start();
    for (int button = 1; button <= kButtonCount; ++button) {
        auto run = std::make_unique<RepeatRun>([this, button] { return sendRepeat(button); });
        connect(
            run.get(), &RepeatRun::changed, this, [this, button] { emit repeatChanged(button); });
        m_runs[size_t(button - 1)] = std::move(run);
    }
}

void Routines::followConnection()
{
    if (m_following)
        return;
    m_following = true;
    connect(&m_comm, &MSComm::portClosed, this, &Routines::connectionEnded);
    connect(&m_comm, &MSComm::connectionLost, this, &Routines::connectionEnded);
}

Routines::~Routines()
{
    dropPendingAnswers();
}

Routines::StartResult Routines::startRepeat(int button, RoutinesSettings::Repeat repeat)
{
    if (!m_output.connectionCheck())
        return StartResult::NotConnected;
    if (!m_output.hasCommands(button))
        return StartResult::NothingToSend;
    m_queuedUntil[size_t(button - 1)] = 0;
    m_runs[size_t(button - 1)]->start(repeat);
    return StartResult::Started;
}

void Routines::stopRepeat(int button)
{
    m_runs[size_t(button - 1)]->stop();
}

void Routines::stopAllRepeats()
{
    for (const auto &run : m_runs)
        run->stop();
}

bool Routines::anyRepeatRunning() const
{
    return std::any_of(
        m_runs.begin(), m_runs.end(), [](const auto &run) { return run->isRunning(); });
}

RepeatRun::Attempt Routines::sendRepeat(int button)
{
    if (!m_comm.PortOpen())
        return RepeatRun::Attempt::Refused;
    qint64 &queuedUntil = m_queuedUntil[size_t(button - 1)];
    if (m_comm.outputPassedOn() < queuedUntil)
        return RepeatRun::Attempt::Skipped;
    // The commands are read at each send: what the window shows now goes.
    if (!m_output.hasCommands(button))
        return RepeatRun::Attempt::Refused;
    m_output.sendButton(button);
    queuedUntil = m_comm.outputEnd();
    return RepeatRun::Attempt::Sent;
}

void Routines::setRules(const QList<RoutinesSettings::Rule> &rules)
{
    dropPendingAnswers();
    m_watch.setRules(rules);
    m_answers.clear();
    for (const RoutinesSettings::Rule &rule : rules) {
        Answer answer;
        answer.button = rule.answerButton;
        answer.delayMs = rule.delayMs;
        if (rule.answerButton == 0 && rule.payloadNotation == RoutinesSettings::Notation::Hex) {
            const HexNotation::SendForm form = HexNotation::prepareForSending(rule.payload);
            answer.bytes = form.bytes;
            answer.textEcho = HexNotation::toText(form.normalised);
            answer.hexEcho = form.normalised;
        } else if (rule.answerButton == 0) {
            answer.bytes = Cp1252::fromUnicode(rule.payload);
            answer.textEcho = rule.payload;
        }
        m_answers.push_back(std::move(answer));
    }
    emit answersChanged();
}

void Routines::setAnswering(bool on)
{
    if (on == m_answering)
        return;
    m_answering = on;
    dropPendingAnswers();
    // A match begun before the switch is not finished after it.
    m_watch.resetStream();
    if (on) {
        for (int rule = 0; rule < m_watch.ruleCount(); ++rule)
            m_watch.restart(rule);
    }
    emit answersChanged();
}

void Routines::restartRule(int rule)
{
    m_watch.restart(rule);
    emit answersChanged();
}

void Routines::received(QByteArrayView bytes)
{
    if (!m_answering || m_answers.empty() || !m_comm.PortOpen())
        return;
    const int watchingBefore = rulesWatching();
    const QList<int> rules = m_watch.feed(bytes, m_clock.elapsed());
    for (int rule : rules) {
        const int delayMs = m_answers[size_t(rule)].delayMs;
        if (delayMs > 0)
            answerLater(rule, delayMs);
        else
            answer(rule);
    }
    // A rule that was braked shows it even when nothing answered.
    if (!rules.isEmpty() || rulesWatching() != watchingBefore)
        emit answersChanged();
}

int Routines::rulesWatching() const
{
    int watching = 0;
    for (int rule = 0; rule < m_watch.ruleCount(); ++rule)
        watching += m_watch.state(rule) == AnswerWatch::State::Watching;
    return watching;
}

void Routines::answer(int rule)
{
    if (!m_comm.PortOpen())
        return;
    const Answer &answer = m_answers[size_t(rule)];
    if (answer.button > 0) {
        // A button emptied meanwhile sends nothing, as its click would.
        if (m_output.hasCommands(answer.button))
            m_output.sendButton(answer.button);
        return;
    }
    m_output.sendPayload(answer.bytes, answer.textEcho, answer.hexEcho);
}

void Routines::answerLater(int rule, int delayMs)
{
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, rule, timer] {
        m_pending.erase(std::find(m_pending.begin(), m_pending.end(), timer));
        timer->deleteLater();
        answer(rule);
    });
    m_pending.push_back(timer);
    timer->start(delayMs);
}

void Routines::dropPendingAnswers()
{
    for (QTimer *timer : m_pending)
        delete timer;
    m_pending.clear();
}

void Routines::connectionEnded()
{
    const bool wasRunning
        = anyRepeatRunning() || !m_pending.empty() || (m_answering && rulesWatching() > 0);
    stopAllRepeats();
    setAnswering(false);
    if (wasRunning)
        emit stoppedByConnectionEnd();
}
