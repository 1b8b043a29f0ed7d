#include "answerwatch.h"

#include <algorithm>

namespace {

constexpr qint64 kSecondMs = 1000;

BytePattern::ParseResult patternOf(const RoutinesSettings::Rule &rule)
{
    if (rule.patternNotation == RoutinesSettings::Notation::Hex)
        return BytePattern::fromHex(rule.pattern);
    return BytePattern::fromText(rule.pattern, Qt::CaseSensitive);
}

} // namespace

AnswerWatch::AnswerWatch() = default;
AnswerWatch::~AnswerWatch() = default;

void AnswerWatch::setRules(const QList<RoutinesSettings::Rule> &rules)
{
    m_rules.clear();
    m_rules.resize(size_t(rules.size()));
    for (qsizetype i = 0; i < rules.size(); ++i) {
        Watched &watched = m_rules[size_t(i)];
        watched.everyTime = rules[i].everyTime;
        const BytePattern::ParseResult read = patternOf(rules[i]);
        if (!rules[i].active || !read.ok())
            continue;
        watched.matcher = std::make_unique<StreamMatcher>(read.pattern);
        watched.state = State::Watching;
    }
}

QList<int> AnswerWatch::feed(QByteArrayView bytes, qint64 nowMs)
{
    // Every matcher reads every byte, whatever its rule's state, so that a
    // rule restarted later does not answer a match from before.
    std::vector<std::pair<qint64, int>> ends;
    for (size_t i = 0; i < m_rules.size(); ++i) {
        Watched &rule = m_rules[i];
        if (!rule.matcher)
            continue;
        rule.matcher->feed(bytes, [&ends, i](qint64 end) { ends.emplace_back(end, int(i)); });
    }
    std::stable_sort(
        ends.begin(), ends.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<int> toAnswer;
    for (const auto &[end, index] : ends) {
        if (answer(m_rules[size_t(index)], nowMs))
            toAnswer.append(index);
    }
    return toAnswer;
}

bool AnswerWatch::answer(Watched &rule, qint64 nowMs)
{
    if (rule.state != State::Watching)
        return false;
    while (!rule.recent.empty() && rule.recent.front() <= nowMs - kSecondMs)
        rule.recent.pop_front();
    if (int(rule.recent.size()) >= kMaxAnswersPerSecond) {
        rule.state = State::Braked;
        return false;
    }
    rule.recent.push_back(nowMs);
    ++rule.answered;
    if (!rule.everyTime)
        rule.state = State::Done;
    return true;
}

void AnswerWatch::resetStream()
{
    for (Watched &rule : m_rules) {
        if (rule.matcher)
            rule.matcher->reset();
    }
}

AnswerWatch::State AnswerWatch::state(int rule) const
{
    return rule >= 0 && rule < ruleCount() ? m_rules[size_t(rule)].state : State::Inactive;
}

int AnswerWatch::answered(int rule) const
{
    return rule >= 0 && rule < ruleCount() ? m_rules[size_t(rule)].answered : 0;
}

void AnswerWatch::restart(int rule)
{
    if (rule < 0 || rule >= ruleCount() || !m_rules[size_t(rule)].matcher)
        return;
    Watched &watched = m_rules[size_t(rule)];
    watched.state = State::Watching;
    watched.recent.clear();
}
