#include "answerwatch.h"

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
    std::vector<BytePattern> patterns(size_t(rules.size()));
    for (qsizetype i = 0; i < rules.size(); ++i) {
        Watched &watched = m_rules[size_t(i)];
        watched.everyTime = rules[i].everyTime;
        const BytePattern::ParseResult read = patternOf(rules[i]);
        if (!rules[i].active || !read.ok() || read.pattern.isEmpty())
            continue;
        patterns[size_t(i)] = read.pattern;
        watched.watched = true;
        watched.state = State::Watching;
    }
    m_matcher = std::make_unique<PatternSetMatcher>(patterns);
}

QList<int> AnswerWatch::feed(QByteArrayView bytes, qint64 nowMs)
{
    // Every watched rule's pattern is looked for in every byte, whatever the
    // rule's state, so that a rule restarted later does not answer a match
    // from before.
    QList<int> toAnswer;
    if (!m_matcher)
        return toAnswer;
    m_matcher->feed(bytes, [&](int rule, qint64) {
        if (answer(m_rules[size_t(rule)], nowMs))
            toAnswer.append(rule);
    });
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
    if (m_matcher)
        m_matcher->reset();
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
    if (rule < 0 || rule >= ruleCount() || !m_rules[size_t(rule)].watched)
        return;
    Watched &watched = m_rules[size_t(rule)];
    watched.state = State::Watching;
    watched.recent.clear();
}
