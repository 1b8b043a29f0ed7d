#pragma once

#include "routinessettings.h"
#include "text/patternsetmatcher.h"

#include <QByteArrayView>
#include <QList>
#include <deque>
#include <memory>
#include <vector>

// Watches the received bytes for the patterns of the answering rules, as
// they come from the port, whatever the windows show of them: a match that
// runs over several reads is found, and the bytes are only read. Says which
// rules are to answer; sending the answers is the caller's.
//
// A rule that answers its own echo would answer for ever: one that would
// answer more than kMaxAnswersPerSecond times within a second is braked
// instead and stays silent until restarted. A rule for "einmal" is done
// after its first answer, until restarted.
class AnswerWatch
{
public:
    static constexpr int kMaxAnswersPerSecond = 10;

    enum class State { Watching, Done, Braked, Inactive };

    AnswerWatch();
    ~AnswerWatch();

    // The rules as the file keeps them; a rule that is not active, or whose
    // pattern does not parse, is Inactive. Counts start again.
    void setRules(const QList<RoutinesSettings::Rule> &rules);
    int ruleCount() const { return int(m_rules.size()); }

    // Reads the next received bytes at nowMs (a monotonic clock) and returns
    // the rules to answer, in the order their matches end in the stream.
    QList<int> feed(QByteArrayView bytes, qint64 nowMs);
    // The stream ended (the connection closed): no match spans it.
    void resetStream();

    State state(int rule) const;
    // Matches that were answered.
    int answered(int rule) const;
    // Watches again after Done or Braked.
    void restart(int rule);

private:
    struct Watched
    {
        // Active with a pattern that parses: the set below watches for it.
        bool watched = false;
        bool everyTime = true;
        State state = State::Inactive;
        int answered = 0;
        // When the answers of the last second were given.
        std::deque<qint64> recent;
    };

    bool answer(Watched &rule, qint64 nowMs);

    std::vector<Watched> m_rules;
    // Every watched rule's pattern, at the rule's index; the others empty.
    std::unique_ptr<PatternSetMatcher> m_matcher;
};
