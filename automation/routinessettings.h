#pragma once

#include "config/savedstate.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <array>
#include <optional>

// What the "Abläufe" window keeps from one run to the next, as the file
// "tavel-ablaeufe.cfg" holds it: how each automation button's commands repeat
// on a timer, and the rules that answer patterns in the received data. UTF-8
// text, one "KEY=VALUE" line each, "#" comment lines; a key left out keeps its
// default. For example:
//
//   # Tavel: Abläufe
//   Taste1.Wiederholen=1000
//   Taste1.Anzahl=0
//   ...
//   Taste3.Wiederholen=250
//   Taste3.Anzahl=10
//   ...
//   Regel1.Muster=Text:OK
//   Regel1.Antwort=Taste:3
//   Regel1.Verzoegerung=100
//   Regel1.Wie=jedes Mal
//   Regel1.Aktiv=ja
//   Regel2.Muster=Hex:06 ?? 15
//   Regel2.Antwort=Text:AT\r
//   Regel2.Verzoegerung=0
//   Regel2.Wie=einmal
//   Regel2.Aktiv=nein
//   Fenster=7200,480
//
// The rules are numbered from 1 without gaps. A pattern or payload is the
// entry as typed, behind "Text:" or "Hex:" (a hex entry without the blank
// that ends its normal form). In an entry, "\" is written "\\", CR "\r", LF
// "\n", Tab "\t" and the other control characters "\xHH"; so is a blank at
// its end, which would otherwise be lost with the line's trailing blanks.
// Every object this class holds is written to a file that reads back as the
// same object.
class RoutinesSettings
{
public:
    static constexpr int kButtonCount = SavedState::kAutomationButtonCount;
    static constexpr int kIntervalMinMs = 1;
    static constexpr int kIntervalMaxMs = 86'400'000;
    static constexpr int kIntervalDefaultMs = 1000;
    // 0 repeats without end.
    static constexpr int kCountMax = 1'000'000'000;
    static constexpr int kMaxRules = 100;
    static constexpr int kDelayMaxMs = 60'000;

    // How one button's commands repeat.
    struct Repeat
    {
        int intervalMs = kIntervalDefaultMs;
        // How many times the commands go out; 0 until the user stops them.
        int count = 0;

        bool operator==(const Repeat &) const = default;
    };

    // How a pattern or a payload of its own is written: as text (each
    // character its Windows-1252 byte) or in the input window's hex notation,
    // a pattern with "??" for any byte.
    enum class Notation { Text, Hex };

    // What the received data are watched for and what answers them.
    struct Rule
    {
        Notation patternNotation = Notation::Text;
        // Matched with case counting.
        QString pattern;
        // 1 to kButtonCount: that button's commands answer. 0: the payload
        // below does.
        int answerButton = 0;
        Notation payloadNotation = Notation::Text;
        QString payload;
        int delayMs = 0;
        // "jedes Mal" (true) or "einmal".
        bool everyTime = true;
        bool active = true;

        bool operator==(const Rule &) const = default;
    };

    struct ReadResult;

    static ReadResult parse(const QByteArray &bytes);
    QByteArray serialize() const;

    // The defaults for a button that is not 1 to kButtonCount.
    Repeat repeat(int button) const;
    // Kept within the limits above; nothing for a button outside 1 to kButtonCount.
    void setRepeat(int button, Repeat repeat);

    // The rules as kept: a hex entry as HexNotation::normalise() makes it,
    // without payload fields when a button answers.
    const QList<Rule> &rules() const { return m_rules; }
    // Empty when the rules are taken; otherwise a phrase (translated) naming the
    // first rule that cannot be kept, or why the whole list cannot, and the
    // rules stay as they were.
    QString setRules(const QList<Rule> &rules);
    // Why a rule cannot be kept (a translated phrase), or nothing. The entries hold
    // only Windows-1252 characters, as the entry boxes do; a pattern is read
    // by BytePattern with case counting, a hex payload must pass the input
    // window's send check, a text payload must not be empty.
    static std::optional<QString> problemWith(const Rule &rule);
    // An entry as the file writes it, which is also how a list shows it:
    // "Text:AT\r", "Hex:06 ?? 15".
    static QString written(Notation notation, const QString &entry);

    // The window's place in twips, as the other child windows keep theirs;
    // none before the window was first closed.
    std::optional<QPoint> windowPlace() const { return m_windowPlace; }
    void setWindowPlace(QPoint twips);

    bool operator==(const RoutinesSettings &) const = default;

private:
    std::array<Repeat, kButtonCount> m_repeats {};
    QList<Rule> m_rules;
    std::optional<QPoint> m_windowPlace;
};

struct RoutinesSettings::ReadResult
{
    // The defaults when the file is damaged: half a set of rules could
    // answer where the user wanted silence, or the other way round.
    RoutinesSettings settings;
    // Empty when the file was sound; otherwise a phrase (translated) naming the
    // line and what is wrong with it.
    QString problem;
};
