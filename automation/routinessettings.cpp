#include "routinessettings.h"

#include "text/bytepattern.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"
#include "text/smalltextfile.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

// What the rules may take of the file. The rest (the first line, the buttons'
// twenty lines and the place) needs well under 1 KiB even with every number
// at its longest, so whatever the rules leave fits the reader's limit.
constexpr qsizetype kRulesBudget = SmallTextFile::kMaxSize - 1024;

// A quoted line or entry in a message is cut short: the file may hold a
// line of many kilobytes, and the message box shows every character.
constexpr qsizetype kQuoteLimit = 60;

// The keys and words of tavel-ablaeufe.cfg, the same in every language.
const QString kButtonPrefix = QStringLiteral("Taste"); // untranslated: key in tavel-ablaeufe.cfg
const QString kRulePrefix = QStringLiteral("Regel"); // untranslated: key in tavel-ablaeufe.cfg
// untranslated: key in tavel-ablaeufe.cfg
const QString kInterval = QStringLiteral("Wiederholen");
const QString kCount = QStringLiteral("Anzahl"); // untranslated: key in tavel-ablaeufe.cfg
const QString kPattern = QStringLiteral("Muster"); // untranslated: key in tavel-ablaeufe.cfg
const QString kAnswer = QStringLiteral("Antwort"); // untranslated: key in tavel-ablaeufe.cfg
// untranslated: key in tavel-ablaeufe.cfg
const QString kDelay = QStringLiteral("Verzoegerung");
const QString kHow = QStringLiteral("Wie"); // untranslated: key in tavel-ablaeufe.cfg
const QString kActive = QStringLiteral("Aktiv"); // untranslated: key in tavel-ablaeufe.cfg
const QString kWindow = QStringLiteral("Fenster"); // untranslated: key in tavel-ablaeufe.cfg

const QString kText = QStringLiteral("Text:"); // untranslated: token in tavel-ablaeufe.cfg
const QString kHex = QStringLiteral("Hex:"); // untranslated: token in tavel-ablaeufe.cfg
const QString kButtonAnswer = QStringLiteral("Taste:"); // untranslated: token in tavel-ablaeufe.cfg
// untranslated: value in tavel-ablaeufe.cfg
const QString kEveryTime = QStringLiteral("jedes Mal");
const QString kOnce = QStringLiteral("einmal"); // untranslated: value in tavel-ablaeufe.cfg
const QString kYes = QStringLiteral("ja"); // untranslated: value in tavel-ablaeufe.cfg
const QString kNo = QStringLiteral("nein"); // untranslated: value in tavel-ablaeufe.cfg

QString quoted(QStringView text)
{
    if (text.size() <= kQuoteLimit) {
        //: Quotes around a line or entry from the file in a message
        return QCoreApplication::translate("RoutinesSettings", "„%1“").arg(text);
    }
    //: Quotes around the cut-off beginning of a long line or entry in a message
    return QCoreApplication::translate("RoutinesSettings", "„%1…“").arg(text.first(kQuoteLimit));
}

// BytePattern gives its reasons as sentences for a message box; here they
// go inside a phrase.
QString withoutFullStop(QString sentence)
{
    if (sentence.endsWith(QLatin1Char('.')))
        sentence.chop(1);
    return sentence;
}

bool isControl(char16_t u)
{
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString hexPair(char16_t u)
{
    return QLatin1String("\\x") + QString::number(u, 16).rightJustified(2, u'0').toUpper();
}

// An entry as the file writes it. The line is read without its trailing
// blanks, so a blank at the end is written as its code; every blank an entry
// can hold (Windows-1252 only) has one below 100h.
QString escaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == u'\\')
            out += QLatin1String("\\\\");
        else if (u == u'\r')
            out += QLatin1String("\\r");
        else if (u == u'\n')
            out += QLatin1String("\\n");
        else if (u == u'\t')
            out += QLatin1String("\\t");
        else if (isControl(u) || (i == text.size() - 1 && text[i].isSpace() && u <= 0xFF))
            out += hexPair(u);
        else
            out += text[i];
    }
    return out;
}

// The entry an escaped text stands for; nothing, with the offending sequence
// in bad, when a backslash starts none of the file's sequences.
std::optional<QString> unescaped(QStringView text, QString &bad)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : 0;
        const int high = i + 3 < text.size() ? HexNotation::digitValue(text[i + 2]) : -1;
        const int low = high >= 0 ? HexNotation::digitValue(text[i + 3]) : -1;
        if (next == u'\\' || next == u'r' || next == u'n' || next == u't') {
            out += next == u'\\' ? u'\\' : next == u'r' ? u'\r' : next == u'n' ? u'\n' : u'\t';
            ++i;
        } else if (next == u'x' && low >= 0) {
            out += QChar(char16_t(high * 16 + low));
            i += 3;
        } else {
            bad = text.mid(i, 2).toString();
            return std::nullopt;
        }
    }
    return out;
}

// A hex entry is kept normalised, with the one blank at its end; the file
// leaves that blank out, and reading puts it back.
QString entryValue(RoutinesSettings::Notation notation, const QString &entry)
{
    if (notation == RoutinesSettings::Notation::Text)
        return kText + escaped(entry);
    return kHex + escaped(QStringView(entry).chopped(entry.endsWith(QLatin1Char(' ')) ? 1 : 0));
}

QString kept(RoutinesSettings::Notation notation, const QString &entry)
{
    return notation == RoutinesSettings::Notation::Hex ? HexNotation::normalise(entry) : entry;
}

// Why an entry box could not have held the entry: a character Windows-1252
// does not have.
std::optional<QString> notEightBit(QStringView entry)
{
    if (Cp1252::isEncodable(entry))
        return std::nullopt;
    return withoutFullStop(BytePattern::fromText(entry, Qt::CaseSensitive).error);
}

std::optional<QString> patternProblem(RoutinesSettings::Notation notation, const QString &entry)
{
    std::optional<QString> reason = notEightBit(entry);
    if (!reason) {
        const BytePattern::ParseResult read = notation == RoutinesSettings::Notation::Hex
            ? BytePattern::fromHex(entry)
            : BytePattern::fromText(entry, Qt::CaseSensitive);
        if (!read.ok())
            reason = withoutFullStop(read.error);
    }
    if (!reason)
        return std::nullopt;
    //: Part of a message, lower case at the start; %1 is the quoted pattern, %2 the reason
    return QCoreApplication::translate(
        "RoutinesSettings", "das Muster %1 wird nicht angenommen: %2")
        .arg(quoted(entry), *reason);
}

std::optional<QString> payloadProblem(RoutinesSettings::Notation notation, const QString &entry)
{
    std::optional<QString> reason = notEightBit(entry);
    if (!reason && notation == RoutinesSettings::Notation::Hex) {
        const HexNotation::SendForm form = HexNotation::prepareForSending(entry);
        if (!form.ok())
            //: %1 is the position of the first wrong character
            reason = QCoreApplication::translate(
                "RoutinesSettings", "Ungültige Hex-Eingabe an Stelle %1")
                         .arg(form.formatErrorAt + 1);
    } else if (!reason && entry.isEmpty()) {
        reason = QCoreApplication::translate("RoutinesSettings", "Keine Daten");
    }
    if (!reason)
        return std::nullopt;
    //: Part of a message, lower case at the start; %1 is the quoted answer data, %2 the reason
    return QCoreApplication::translate(
        "RoutinesSettings", "die Antwort %1 wird nicht angenommen: %2")
        .arg(quoted(entry), *reason);
}

std::optional<QString> buttonProblem(int button)
{
    if (button >= 1 && button <= RoutinesSettings::kButtonCount)
        return std::nullopt;
    //: Part of a message; %1 is a button number, %2 the number of buttons
    return QCoreApplication::translate("RoutinesSettings", "„%1“ ist keine Taste von 1 bis %2")
        .arg(button)
        .arg(RoutinesSettings::kButtonCount);
}

std::optional<QString> delayProblem(int ms)
{
    if (ms >= 0 && ms <= RoutinesSettings::kDelayMaxMs)
        return std::nullopt;
    //: Part of a message; %1 is the delay given, %2 the longest delay in ms
    return QCoreApplication::translate(
        "RoutinesSettings", "„%1“ ist keine Verzögerung von 0 bis %2 ms")
        .arg(ms)
        .arg(RoutinesSettings::kDelayMaxMs);
}

RoutinesSettings::Rule canonical(RoutinesSettings::Rule rule)
{
    rule.pattern = kept(rule.patternNotation, rule.pattern);
    if (rule.answerButton != 0) {
        rule.payloadNotation = RoutinesSettings::Notation::Text;
        rule.payload.clear();
    } else {
        rule.payload = kept(rule.payloadNotation, rule.payload);
    }
    return rule;
}

QString rulesText(const QList<RoutinesSettings::Rule> &rules)
{
    QString text;
    for (qsizetype i = 0; i < rules.size(); ++i) {
        const RoutinesSettings::Rule &rule = rules.at(i);
        const QString prefix = kRulePrefix + QString::number(i + 1) + QLatin1Char('.');
        text += prefix + kPattern + QLatin1Char('=')
            + entryValue(rule.patternNotation, rule.pattern) + QLatin1Char('\n');
        text += prefix + kAnswer + QLatin1Char('=')
            + (rule.answerButton != 0 ? kButtonAnswer + QString::number(rule.answerButton)
                                      : entryValue(rule.payloadNotation, rule.payload))
            + QLatin1Char('\n');
        text += prefix + kDelay + QLatin1Char('=') + QString::number(rule.delayMs)
            + QLatin1Char('\n');
        text += prefix + kHow + QLatin1Char('=') + (rule.everyTime ? kEveryTime : kOnce)
            + QLatin1Char('\n');
        text
            += prefix + kActive + QLatin1Char('=') + (rule.active ? kYes : kNo) + QLatin1Char('\n');
    }
    return text;
}

bool fitsInFile(const QList<RoutinesSettings::Rule> &rules)
{
    return rulesText(rules).toUtf8().size() <= kRulesBudget;
}

QString tooLong()
{
    //: Part of a message, lower case at the start; %1 is a size in KiB
    return QCoreApplication::translate(
        "RoutinesSettings", "die Regeln brauchen zusammen mehr als %1 KiB")
        .arg(kRulesBudget / 1024);
}

// The number after a key's prefix ("Taste3.", "Regel12."), and the field
// after its dot; nothing when the key does not start so.
struct NumberedKey
{
    QString digits;
    QString field;
};

std::optional<NumberedKey> numberedKey(const QString &key, const QString &prefix)
{
    if (!key.startsWith(prefix))
        return std::nullopt;
    const qsizetype dot = key.indexOf(QLatin1Char('.'), prefix.size());
    if (dot < 0)
        return std::nullopt;
    return NumberedKey { key.mid(prefix.size(), dot - prefix.size()), key.mid(dot + 1) };
}

// A rule while its lines are read: which of them came, and where it began.
struct RuleDraft
{
    RoutinesSettings::Rule rule;
    qsizetype firstLine = 0;
    bool hasPattern = false;
    bool hasAnswer = false;
};

} // namespace

RoutinesSettings::ReadResult RoutinesSettings::parse(const QByteArray &bytes)
{
    const auto fail = [](const QString &problem) { return ReadResult { {}, problem }; };
    QString undecodable;
    const std::optional<QString> decoded = SmallTextFile::decode(bytes, undecodable);
    if (!decoded)
        return fail(undecodable);
    const QString &text = *decoded;

    ReadResult result;
    QSet<QString> seen;
    std::map<int, RuleDraft> drafts;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(std::max<qsizetype>(equals, 0)).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        const QString lineNumber = QString::number(i + 1);
        const auto failHere = [&](const QString &what) {
            //: %1 is a line number of tavel-ablaeufe.cfg, %2 what is wrong with the line
            return fail(QCoreApplication::translate("RoutinesSettings", "Zeile %1: %2")
                            .arg(lineNumber, what));
        };
        const QString unclear
            //: %1 is a line number of tavel-ablaeufe.cfg, %2 the quoted line
            = QCoreApplication::translate("RoutinesSettings", "Zeile %1 ist unverständlich: %2")
                  .arg(lineNumber, quoted(line));
        if (equals <= 0)
            return fail(unclear);
        if (seen.contains(key)) {
            //: %1 is a quoted key of tavel-ablaeufe.cfg, %2 a line number
            return fail(QCoreApplication::translate(
                "RoutinesSettings", "%1 steht in Zeile %2 ein zweites Mal")
                            .arg(quoted(key), lineNumber));
        }
        seen.insert(key);

        if (key == kWindow) {
            result.settings.m_windowPlace = SmallTextFile::placeOf(value);
            if (!result.settings.m_windowPlace)
                return fail(unclear);
            continue;
        }

        if (const std::optional<NumberedKey> button = numberedKey(key, kButtonPrefix)) {
            const std::optional<int> number = SmallTextFile::strictNumber(button->digits);
            if (!number || *number < 1 || *number > kButtonCount)
                return fail(unclear);
            Repeat &repeat = result.settings.m_repeats[size_t(*number - 1)];
            const std::optional<int> setting = SmallTextFile::strictNumber(value);
            if (button->field == kInterval) {
                if (!setting || *setting < kIntervalMinMs || *setting > kIntervalMaxMs) {
                    //: %1 is the quoted value, %2 and %3 the shortest and longest interval in ms
                    return failHere(QCoreApplication::translate(
                        "RoutinesSettings", "%1 ist keine Wiederholzeit von %2 bis %3 ms")
                                        .arg(quoted(value), QString::number(kIntervalMinMs),
                                            QString::number(kIntervalMaxMs)));
                }
                repeat.intervalMs = *setting;
            } else if (button->field == kCount) {
                if (!setting || *setting < 0 || *setting > kCountMax) {
                    //: %1 is the quoted value, %2 the largest count
                    return failHere(QCoreApplication::translate(
                        "RoutinesSettings", "%1 ist keine Anzahl von 0 bis %2")
                                        .arg(quoted(value), QString::number(kCountMax)));
                }
                repeat.count = *setting;
            } else {
                return fail(unclear);
            }
            continue;
        }

        const std::optional<NumberedKey> ruleKey = numberedKey(key, kRulePrefix);
        if (!ruleKey)
            return fail(unclear);
        // Digits alone, without a leading zero: a rule number, however large.
        const QString &digits = ruleKey->digits;
        if (digits.isEmpty() || digits.front() == u'0'
            || !std::all_of(
                digits.begin(), digits.end(), [](QChar ch) { return ch >= u'0' && ch <= u'9'; }))
            return fail(unclear);
        const std::optional<int> number = SmallTextFile::strictNumber(digits);
        if (!number || *number > kMaxRules)
            return failHere(QCoreApplication::translate("RoutinesSettings", "mehr als %1 Regeln")
                                .arg(kMaxRules));
        const auto [place, added] = drafts.try_emplace(*number);
        RuleDraft &draft = place->second;
        if (added)
            draft.firstLine = i + 1;
        Rule &rule = draft.rule;
        const QString &field = ruleKey->field;

        if (field == kPattern || field == kAnswer) {
            if (field == kAnswer && value.startsWith(kButtonAnswer)) {
                const std::optional<int> button
                    = SmallTextFile::strictNumber(value.mid(kButtonAnswer.size()));
                if (!button || buttonProblem(*button)) {
                    //: %1 is the quoted value, %2 the number of buttons
                    return failHere(QCoreApplication::translate(
                        "RoutinesSettings", "%1 ist keine Taste von 1 bis %2")
                                        .arg(quoted(value.mid(kButtonAnswer.size())),
                                            QString::number(kButtonCount)));
                }
                rule.answerButton = *button;
                draft.hasAnswer = true;
                continue;
            }
            Notation notation = Notation::Text;
            qsizetype skip = kText.size();
            if (value.startsWith(kHex)) {
                notation = Notation::Hex;
                skip = kHex.size();
            } else if (!value.startsWith(kText)) {
                return failHere(field == kPattern
                        //: Part of a message; "Text:" and "Hex:" are words of the file, keep them
                        ? QCoreApplication::translate(
                            "RoutinesSettings", "ein Muster beginnt mit „Text:“ oder „Hex:“")
                        //: Part of a message; "Taste:", "Text:" and "Hex:" are words of the file,
                        //: keep them
                        : QCoreApplication::translate("RoutinesSettings",
                            "eine Antwort beginnt mit „Taste:“, „Text:“ oder „Hex:“"));
            }
            QString bad;
            const std::optional<QString> entry = unescaped(QStringView(value).mid(skip), bad);
            if (!entry) {
                //: Part of a message; %1 is what follows a backslash in the file; keep the
                //: sequences as they are
                return failHere(QCoreApplication::translate("RoutinesSettings",
                    "„%1“ ist keine der Folgen mit Backslash (\\\\, "
                    "\\r, \\n, \\t, \\xHH)")
                                    .arg(bad));
            }
            const std::optional<QString> problem = field == kPattern
                ? patternProblem(notation, *entry)
                : payloadProblem(notation, *entry);
            if (problem)
                return failHere(*problem);
            if (field == kPattern) {
                rule.patternNotation = notation;
                rule.pattern = kept(notation, *entry);
                draft.hasPattern = true;
            } else {
                rule.payloadNotation = notation;
                rule.payload = kept(notation, *entry);
                draft.hasAnswer = true;
            }
        } else if (field == kDelay) {
            const std::optional<int> ms = SmallTextFile::strictNumber(value);
            if (!ms || delayProblem(*ms)) {
                //: %1 is the quoted value, %2 the longest delay in ms
                return failHere(QCoreApplication::translate(
                    "RoutinesSettings", "%1 ist keine Verzögerung von 0 bis %2 ms")
                                    .arg(quoted(value), QString::number(kDelayMaxMs)));
            }
            rule.delayMs = *ms;
        } else if (field == kHow) {
            if (value != kEveryTime && value != kOnce) {
                //: %1 is the quoted value, %2 and %3 the two words the file allows
                return failHere(
                    QCoreApplication::translate("RoutinesSettings", "%1 ist weder „%2“ noch „%3“")
                        .arg(quoted(value), kEveryTime, kOnce));
            }
            rule.everyTime = value == kEveryTime;
        } else if (field == kActive) {
            if (value != kYes && value != kNo)
                return failHere(
                    QCoreApplication::translate("RoutinesSettings", "%1 ist weder „%2“ noch „%3“")
                        .arg(quoted(value), kYes, kNo));
            rule.active = value == kYes;
        } else {
            return fail(unclear);
        }
    }

    int expected = 1;
    for (const auto &[number, draft] : drafts) {
        //: Start of a message; %1 is a line number of tavel-ablaeufe.cfg
        const QString where
            = QCoreApplication::translate("RoutinesSettings", "Zeile %1: ").arg(draft.firstLine);
        if (number != expected) {
            return fail(where
                + QCoreApplication::translate("RoutinesSettings", "Regel %1 folgt ohne Regel %2")
                      .arg(number)
                      .arg(expected));
        }
        if (!draft.hasPattern)
            return fail(where
                + QCoreApplication::translate("RoutinesSettings", "Regel %1 hat kein Muster")
                      .arg(number));
        if (!draft.hasAnswer)
            return fail(where
                + QCoreApplication::translate("RoutinesSettings", "Regel %1 hat keine Antwort")
                      .arg(number));
        result.settings.m_rules.append(draft.rule);
        ++expected;
    }
    if (!fitsInFile(result.settings.m_rules))
        return fail(tooLong());
    return result;
}

QByteArray RoutinesSettings::serialize() const
{
    QString text = QStringLiteral("# Tavel: Abläufe\n"); // untranslated: header line of the file
    for (int button = 1; button <= kButtonCount; ++button) {
        const Repeat &repeat = m_repeats[size_t(button - 1)];
        const QString prefix = kButtonPrefix + QString::number(button) + QLatin1Char('.');
        text += prefix + kInterval + QLatin1Char('=') + QString::number(repeat.intervalMs)
            + QLatin1Char('\n');
        text += prefix + kCount + QLatin1Char('=') + QString::number(repeat.count)
            + QLatin1Char('\n');
    }
    text += rulesText(m_rules);
    if (m_windowPlace) {
        text
            += kWindow + QStringLiteral("=%1,%2\n").arg(m_windowPlace->x()).arg(m_windowPlace->y());
    }
    return text.toUtf8();
}

RoutinesSettings::Repeat RoutinesSettings::repeat(int button) const
{
    return button >= 1 && button <= kButtonCount ? m_repeats[size_t(button - 1)] : Repeat {};
}

void RoutinesSettings::setRepeat(int button, Repeat repeat)
{
    if (button < 1 || button > kButtonCount)
        return;
    repeat.intervalMs = std::clamp(repeat.intervalMs, kIntervalMinMs, kIntervalMaxMs);
    repeat.count = std::clamp(repeat.count, 0, kCountMax);
    m_repeats[size_t(button - 1)] = repeat;
}

std::optional<QString> RoutinesSettings::problemWith(const Rule &rule)
{
    if (std::optional<QString> problem = patternProblem(rule.patternNotation, rule.pattern))
        return problem;
    std::optional<QString> problem = rule.answerButton != 0
        ? buttonProblem(rule.answerButton)
        : payloadProblem(rule.payloadNotation, rule.payload);
    if (problem)
        return problem;
    return delayProblem(rule.delayMs);
}

QString RoutinesSettings::written(Notation notation, const QString &entry)
{
    return entryValue(notation, entry);
}

QString RoutinesSettings::setRules(const QList<Rule> &rules)
{
    if (rules.size() > kMaxRules)
        return QCoreApplication::translate("RoutinesSettings", "mehr als %1 Regeln").arg(kMaxRules);
    QList<Rule> kept;
    kept.reserve(rules.size());
    for (qsizetype i = 0; i < rules.size(); ++i) {
        if (const std::optional<QString> problem = problemWith(rules.at(i)))
            //: %1 is the rule's number, %2 why it cannot be kept
            return QCoreApplication::translate("RoutinesSettings", "Regel %1: %2")
                .arg(QString::number(i + 1), *problem);
        kept.append(canonical(rules.at(i)));
    }
    if (!fitsInFile(kept))
        return tooLong();
    m_rules = std::move(kept);
    return {};
}

void RoutinesSettings::setWindowPlace(QPoint twips)
{
    constexpr int limit = SmallTextFile::kPlaceLimit - 1;
    m_windowPlace
        = QPoint(std::clamp(twips.x(), -limit, limit), std::clamp(twips.y(), -limit, limit));
}
