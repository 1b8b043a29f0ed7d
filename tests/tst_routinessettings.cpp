#include "automation/routinessettings.h"
#include "automation/routinessettingsstore.h"
#include "filehelpers.h"
#include "testdice.h"
#include "text/hexnotation.h"

#include <QTemporaryDir>
#include <QTest>

using Notation = RoutinesSettings::Notation;
using Repeat = RoutinesSettings::Repeat;
using Rule = RoutinesSettings::Rule;
Q_DECLARE_METATYPE(RoutinesSettings)
Q_DECLARE_METATYPE(RoutinesSettings::Rule)

namespace {

Rule rule(Notation patternNotation, const QString &pattern, Notation payloadNotation,
    const QString &payload)
{
    Rule r;
    r.patternNotation = patternNotation;
    r.pattern = pattern;
    r.payloadNotation = payloadNotation;
    r.payload = payload;
    return r;
}

Rule textRule(const QString &pattern, const QString &payload)
{
    return rule(Notation::Text, pattern, Notation::Text, payload);
}

Rule buttonRule(const QString &pattern, int button)
{
    Rule r = textRule(pattern, {});
    r.answerButton = button;
    return r;
}

RoutinesSettings withRules(const QList<Rule> &rules)
{
    RoutinesSettings settings;
    const QString refused = settings.setRules(rules);
    Q_ASSERT_X(refused.isEmpty(), "withRules", qPrintable(refused));
    return settings;
}

// The file each setting of the example below gives, byte for byte.
const QByteArray kExampleFile = "# Tavel: Abl\xc3\xa4ufe\n"
                                "Taste1.Wiederholen=1000\nTaste1.Anzahl=0\n"
                                "Taste2.Wiederholen=1000\nTaste2.Anzahl=0\n"
                                "Taste3.Wiederholen=250\nTaste3.Anzahl=10\n"
                                "Taste4.Wiederholen=1000\nTaste4.Anzahl=0\n"
                                "Taste5.Wiederholen=1000\nTaste5.Anzahl=0\n"
                                "Taste6.Wiederholen=1000\nTaste6.Anzahl=0\n"
                                "Taste7.Wiederholen=1000\nTaste7.Anzahl=0\n"
                                "Taste8.Wiederholen=1000\nTaste8.Anzahl=0\n"
                                "Taste9.Wiederholen=1000\nTaste9.Anzahl=0\n"
                                "Taste10.Wiederholen=86400000\nTaste10.Anzahl=1000000000\n"
                                "Regel1.Muster=Text:OK\n"
                                "Regel1.Antwort=Taste:3\n"
                                "Regel1.Verzoegerung=100\n"
                                "Regel1.Wie=jedes Mal\n"
                                "Regel1.Aktiv=ja\n"
                                "Regel2.Muster=Hex:06 ?? 15\n"
                                "Regel2.Antwort=Text:AT\\r\n"
                                "Regel2.Verzoegerung=0\n"
                                "Regel2.Wie=einmal\n"
                                "Regel2.Aktiv=nein\n"
                                "Regel3.Muster=Text:Gr\xc3\xbc\xc3\x9f"
                                "e \xe2\x82\xac=\\\\#\\x01\\x20\n"
                                "Regel3.Antwort=Hex:41 0D\n"
                                "Regel3.Verzoegerung=60000\n"
                                "Regel3.Wie=jedes Mal\n"
                                "Regel3.Aktiv=ja\n"
                                "Fenster=7200,480\n";

RoutinesSettings example()
{
    RoutinesSettings settings;
    settings.setRepeat(3, { 250, 10 });
    settings.setRepeat(10, { 86'400'000, 1'000'000'000 });
    Rule first = buttonRule(QStringLiteral("OK"), 3);
    first.delayMs = 100;
    Rule second
        = rule(Notation::Hex, QStringLiteral("06 ?? 15 "), Notation::Text, QStringLiteral("AT\r"));
    second.everyTime = false;
    second.active = false;
    Rule third = rule(Notation::Text, QStringLiteral("Grüße €=\\#\x01 "), Notation::Hex,
        QStringLiteral("41 0D "));
    third.delayMs = 60'000;
    settings.setRules({ first, second, third });
    settings.setWindowPlace(QPoint(7200, 480));
    return settings;
}

// One rule in an otherwise empty file, its five lines from the given two.
QByteArray oneRule(const QByteArray &pattern, const QByteArray &answer)
{
    return "Regel1.Muster=" + pattern + "\nRegel1.Antwort=" + answer + "\n";
}

QByteArray manyRules(int count)
{
    QByteArray file;
    for (int i = 1; i <= count; ++i) {
        const QByteArray n = QByteArray::number(i);
        file += "Regel" + n + ".Muster=Text:R" + n + "\nRegel" + n + ".Antwort=Taste:1\n";
    }
    return file;
}

// A text drawn from the characters that test the file's escapes and its
// blanks, and some plain ones; all of them Windows-1252.
QString drawnText(QRandomGenerator &dice, int minLength)
{
    static const QString pool = QStringLiteral("aZ09 =#?:.\\\r\n\t\x01\x1b\x7f\x81\x9d\u00a0"
                                               "äÖß€…")
        + QChar(0);
    const int length = minLength + int(dice.bounded(12));
    QString text;
    for (int i = 0; i < length; ++i)
        text += pool.at(int(dice.bounded(int(pool.size()))));
    return text;
}

// A hex entry as a user may type it: blanks at either end, groups in upper or
// lower case, and "??" in a pattern, with at least one fixed byte.
QString drawnHex(QRandomGenerator &dice, bool pattern)
{
    QString entry = QString(int(dice.bounded(3)), QLatin1Char(' '));
    const int groups = 1 + int(dice.bounded(8));
    const int fixed = int(dice.bounded(groups));
    for (int i = 0; i < groups; ++i) {
        if (pattern && i != fixed && dice.bounded(3) == 0) {
            entry += QStringLiteral("?? ");
            continue;
        }
        QString group = HexNotation::write(QByteArray(1, char(dice.bounded(256))));
        if (dice.bounded(2))
            group = group.toLower();
        entry += group;
    }
    return entry + QString(int(dice.bounded(3)), QLatin1Char(' '));
}

RoutinesSettings drawnSettings(QRandomGenerator &dice)
{
    RoutinesSettings settings;
    for (int button = 1; button <= RoutinesSettings::kButtonCount; ++button) {
        if (dice.bounded(2)) {
            settings.setRepeat(button,
                { RoutinesSettings::kIntervalMinMs
                        + int(dice.bounded(quint32(RoutinesSettings::kIntervalMaxMs))),
                    int(dice.bounded(quint32(RoutinesSettings::kCountMax + 1))) });
        }
    }
    QList<Rule> rules;
    const int count = dice.bounded(5) == 0 ? RoutinesSettings::kMaxRules : int(dice.bounded(8));
    for (int i = 0; i < count; ++i) {
        Rule r;
        r.patternNotation = dice.bounded(2) ? Notation::Hex : Notation::Text;
        r.pattern = r.patternNotation == Notation::Hex ? drawnHex(dice, true) : drawnText(dice, 1);
        if (dice.bounded(3) == 0) {
            r.answerButton = 1 + int(dice.bounded(RoutinesSettings::kButtonCount));
        } else {
            r.payloadNotation = dice.bounded(2) ? Notation::Hex : Notation::Text;
            r.payload
                = r.payloadNotation == Notation::Hex ? drawnHex(dice, false) : drawnText(dice, 1);
        }
        r.delayMs = int(dice.bounded(RoutinesSettings::kDelayMaxMs + 1));
        r.everyTime = dice.bounded(2);
        r.active = dice.bounded(2);
        rules.append(r);
    }
    const QString refused = settings.setRules(rules);
    Q_ASSERT_X(refused.isEmpty(), "drawnSettings", qPrintable(refused));
    if (dice.bounded(2))
        settings.setWindowPlace(QPoint(int(dice.bounded(40000)) - 20000, int(dice.bounded(40000))));
    return settings;
}

} // namespace

class tst_RoutinesSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheExampleByteForByte()
    {
        QCOMPARE(example().serialize(), kExampleFile);
        const RoutinesSettings::ReadResult read = RoutinesSettings::parse(kExampleFile);
        QCOMPARE(read.problem, QString());
        QVERIFY(read.settings == example());
        QCOMPARE(read.settings.repeat(3).intervalMs, 250);
        QCOMPARE(read.settings.rules().at(1).pattern, QStringLiteral("06 ?? 15 "));
        QCOMPARE(read.settings.rules().at(2).pattern, QStringLiteral("Grüße €=\\#\x01 "));
    }

    void defaults()
    {
        const RoutinesSettings settings;
        for (int button = 0; button <= RoutinesSettings::kButtonCount + 1; ++button) {
            QCOMPARE(settings.repeat(button).intervalMs, 1000);
            QCOMPARE(settings.repeat(button).count, 0);
        }
        QVERIFY(settings.rules().isEmpty());
        QVERIFY(!settings.windowPlace());
        const Rule r;
        QCOMPARE(r.delayMs, 0);
        QVERIFY(r.everyTime);
        QVERIFY(r.active);
    }

    void readsSoundFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<RoutinesSettings>("expected");

        QTest::newRow("empty") << QByteArray() << RoutinesSettings();
        QTest::newRow("comments and blank lines")
            << QByteArray("# Tavel: Abläufe\n\n   \n# Regel1.Muster=kaputt\n")
            << RoutinesSettings();
        {
            RoutinesSettings s;
            s.setRepeat(3, { 250, 10 });
            QTest::newRow("one button")
                << QByteArray("Taste3.Wiederholen=250\nTaste3.Anzahl=10\n") << s;
        }
        {
            RoutinesSettings s;
            s.setRepeat(1, { 1, 1'000'000'000 });
            s.setRepeat(10, { 86'400'000, 0 });
            QTest::newRow("the limits") << QByteArray("Taste1.Wiederholen=1\n"
                                                      "Taste1.Anzahl=1000000000\n"
                                                      "Taste10.Wiederholen=86400000\n")
                                        << s;
        }
        QTest::newRow("a rule's other keys left out") << oneRule(
            "Text:OK", "Taste:10") << withRules({ buttonRule(QStringLiteral("OK"), 10) });
        {
            Rule r = textRule(QStringLiteral("a"), QStringLiteral("b"));
            r.delayMs = 60'000;
            r.everyTime = false;
            r.active = false;
            QTest::newRow("every key, in another order")
                << QByteArray("Regel1.Aktiv=nein\nRegel1.Wie=einmal\nRegel1.Verzoegerung=60000\n"
                              "Regel1.Antwort=Text:b\nRegel1.Muster=Text:a\n")
                << withRules({ r });
        }
        QTest::newRow("rule 2 before rule 1")
            << QByteArray("Regel2.Muster=Text:zwei\nRegel1.Muster=Text:eins\n"
                          "Regel2.Antwort=Taste:2\nRegel1.Antwort=Taste:1\n")
            << withRules({ buttonRule(QStringLiteral("eins"), 1),
                   buttonRule(QStringLiteral("zwei"), 2) });
        {
            RoutinesSettings s = withRules({ textRule(QStringLiteral("OK"), QStringLiteral("x")) });
            s.setWindowPlace(QPoint(-15, 7200));
            QTest::newRow("CR LF, indentation, blanks around =") << QByteArray(
                "  Regel1.Muster = Text:OK\r\n\tRegel1.Antwort= Text:x \r\n"
                "Fenster = -15,7200\r\n") << s;
        }
        QTest::newRow("every escape")
            << oneRule("Text:a\\\\b\\r\\n\\t\\x01\\x41\\x0d\\xe4", "Text:\\\\")
            << withRules({ textRule(QStringLiteral("a\\b\r\n\t\x01"
                                                   "A\rä"),
                   QStringLiteral("\\")) });
        QTest::newRow("a blank at the start counts, one at the end is escaped")
            << oneRule("Text: OK", "Text:AT\\x20")
            << withRules({ textRule(QStringLiteral(" OK"), QStringLiteral("AT ")) });
        QTest::newRow("= and # inside a text") << oneRule("Text:a=b#c",
            "Text:#") << withRules({ textRule(QStringLiteral("a=b#c"), QStringLiteral("#")) });
        QTest::newRow("control characters as they stand")
            << oneRule("Text:a\tb\x01", "Text:\x7f")
            << withRules({ textRule(QStringLiteral("a\tb\x01"), QStringLiteral("\x7f")) });
        QTest::newRow("Windows-1252 beyond Latin-1")
            << oneRule("Text:Gr\xc3\xbc\xc3\x9f"
                       "e \xe2\x82\xac",
                   "Text:\xe2\x80\xa6")
            << withRules({ textRule(QStringLiteral("Grüße €"), QStringLiteral("…")) });
        QTest::newRow("hex as typed, normalised")
            << oneRule("Hex:  06 ?? 15  ", "Hex:41 0d")
            << withRules({ rule(Notation::Hex, QStringLiteral("06 ?? 15 "), Notation::Hex,
                   QStringLiteral("41 0d ")) });
        QTest::newRow("hex with its blank written as \\x20")
            << oneRule("Hex:41\\x20", "Hex:00\\x20")
            << withRules({ rule(
                   Notation::Hex, QStringLiteral("41 "), Notation::Hex, QStringLiteral("00 ")) });
        {
            QList<Rule> rules;
            for (int i = 1; i <= RoutinesSettings::kMaxRules; ++i)
                rules.append(buttonRule(QStringLiteral("R%1").arg(i), 1));
            QTest::newRow("100 rules")
                << manyRules(RoutinesSettings::kMaxRules) << withRules(rules);
        }
        {
            RoutinesSettings s;
            s.setWindowPlace(QPoint(16'777'215, -16'777'215));
            QTest::newRow("the farthest place") << QByteArray("Fenster=16777215,-16777215") << s;
        }
    }
    void readsSoundFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(RoutinesSettings, expected);
        const RoutinesSettings::ReadResult read = RoutinesSettings::parse(bytes);
        QCOMPARE(read.problem, QString());
        QCOMPARE(read.settings.serialize(), expected.serialize());
        QVERIFY(read.settings == expected);
        // And what was read comes back from its own file.
        const RoutinesSettings::ReadResult again = RoutinesSettings::parse(expected.serialize());
        QCOMPARE(again.problem, QString());
        QVERIFY(again.settings == expected);
    }

    void refusesDamagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");

        QTest::newRow("unknown key") << QByteArray("# x\nFarbe=rot\n")
                                     << QStringLiteral("Zeile 2 ist unverständlich: „Farbe=rot“");
        QTest::newRow("no =") << QByteArray("Regel1.Muster\n")
                              << QStringLiteral("Zeile 1 ist unverständlich: „Regel1.Muster“");
        QTest::newRow("no key") << QByteArray("=5\n")
                                << QStringLiteral("Zeile 1 ist unverständlich: „=5“");
        QTest::newRow("button 11")
            << QByteArray("Taste11.Anzahl=1\n")
            << QStringLiteral("Zeile 1 ist unverständlich: „Taste11.Anzahl=1“");
        QTest::newRow("button 0") << QByteArray(
            "Taste0.Anzahl=1\n") << QStringLiteral("Zeile 1 ist unverständlich: „Taste0.Anzahl=1“");
        QTest::newRow("button 03")
            << QByteArray("Taste03.Anzahl=1\n")
            << QStringLiteral("Zeile 1 ist unverständlich: „Taste03.Anzahl=1“");
        QTest::newRow("unknown button key") << QByteArray(
            "Taste3.Tempo=1\n") << QStringLiteral("Zeile 1 ist unverständlich: „Taste3.Tempo=1“");
        QTest::newRow("interval 0")
            << QByteArray("Taste1.Wiederholen=0\n")
            << QStringLiteral("Zeile 1: „0“ ist keine Wiederholzeit von 1 bis 86400000 ms");
        QTest::newRow("interval above a day")
            << QByteArray("Taste1.Wiederholen=86400001\n")
            << QStringLiteral("Zeile 1: „86400001“ ist keine Wiederholzeit von 1 bis 86400000 ms");
        QTest::newRow("interval with a plus")
            << QByteArray("Taste1.Wiederholen=+5\n")
            << QStringLiteral("Zeile 1: „+5“ ist keine Wiederholzeit von 1 bis 86400000 ms");
        QTest::newRow("interval with a leading zero")
            << QByteArray("Taste1.Wiederholen=05\n")
            << QStringLiteral("Zeile 1: „05“ ist keine Wiederholzeit von 1 bis 86400000 ms");
        QTest::newRow("interval beyond an int")
            << QByteArray("Taste1.Wiederholen=99999999999\n")
            << QStringLiteral(
                   "Zeile 1: „99999999999“ ist keine Wiederholzeit von 1 bis 86400000 ms");
        QTest::newRow("count -1") << QByteArray("Taste2.Anzahl=-1\n")
                                  << QStringLiteral(
                                         "Zeile 1: „-1“ ist keine Anzahl von 0 bis 1000000000");
        QTest::newRow("count above the limit")
            << QByteArray("Taste2.Anzahl=1000000001\n")
            << QStringLiteral("Zeile 1: „1000000001“ ist keine Anzahl von 0 bis 1000000000");
        QTest::newRow("count empty")
            << QByteArray("Taste2.Anzahl=\n")
            << QStringLiteral("Zeile 1: „“ ist keine Anzahl von 0 bis 1000000000");
        QTest::newRow("the same key twice")
            << QByteArray("Taste1.Anzahl=1\nTaste1.Anzahl=1\n")
            << QStringLiteral("„Taste1.Anzahl“ steht in Zeile 2 ein zweites Mal");
        QTest::newRow("a rule's number twice")
            << oneRule("Text:a", "Taste:1") + "Regel1.Muster=Text:b\n"
            << QStringLiteral("„Regel1.Muster“ steht in Zeile 3 ein zweites Mal");
        QTest::newRow("rule 0") << QByteArray("Regel0.Muster=Text:a\n")
                                << QStringLiteral(
                                       "Zeile 1 ist unverständlich: „Regel0.Muster=Text:a“");
        QTest::newRow("rule 01") << QByteArray("Regel01.Muster=Text:a\n")
                                 << QStringLiteral(
                                        "Zeile 1 ist unverständlich: „Regel01.Muster=Text:a“");
        QTest::newRow("rule -1") << QByteArray("Regel-1.Muster=Text:a\n")
                                 << QStringLiteral(
                                        "Zeile 1 ist unverständlich: „Regel-1.Muster=Text:a“");
        QTest::newRow("unknown rule key")
            << QByteArray("Regel1.Farbe=rot\n")
            << QStringLiteral("Zeile 1 ist unverständlich: „Regel1.Farbe=rot“");
        QTest::newRow("rule 101") << QByteArray("Regel101.Aktiv=ja\n")
                                  << QStringLiteral("Zeile 1: mehr als 100 Regeln");
        QTest::newRow("a rule number beyond an int") << QByteArray(
            "Regel99999999999.Aktiv=ja\n") << QStringLiteral("Zeile 1: mehr als 100 Regeln");
        QTest::newRow("101 rules")
            << manyRules(101) << QStringLiteral("Zeile 201: mehr als 100 Regeln");
        QTest::newRow("a gap") << oneRule("Text:a", "Taste:1") + "Regel3.Muster=Text:c\n"
                               << QStringLiteral("Zeile 3: Regel 3 folgt ohne Regel 2");
        QTest::newRow("no rule 1") << QByteArray("\nRegel2.Muster=Text:a\nRegel2.Antwort=Taste:1\n")
                                   << QStringLiteral("Zeile 2: Regel 2 folgt ohne Regel 1");
        QTest::newRow("no pattern") << QByteArray("Regel1.Aktiv=ja\nRegel1.Antwort=Taste:1\n")
                                    << QStringLiteral("Zeile 1: Regel 1 hat kein Muster");
        QTest::newRow("no answer") << QByteArray("Regel1.Muster=Text:a\n")
                                   << QStringLiteral("Zeile 1: Regel 1 hat keine Antwort");
        QTest::newRow("pattern without its notation") << oneRule("OK",
            "Taste:1") << QStringLiteral("Zeile 1: ein Muster beginnt mit „Text:“ oder „Hex:“");
        QTest::newRow("a button as the pattern") << oneRule("Taste:1",
            "Taste:1") << QStringLiteral("Zeile 1: ein Muster beginnt mit „Text:“ oder „Hex:“");
        QTest::newRow("notation in lower case") << oneRule("text:OK",
            "Taste:1") << QStringLiteral("Zeile 1: ein Muster beginnt mit „Text:“ oder „Hex:“");
        QTest::newRow("answer without its notation")
            << oneRule("Text:a", "3")
            << QStringLiteral("Zeile 2: eine Antwort beginnt mit „Taste:“, „Text:“ oder „Hex:“");
        QTest::newRow("button 0 as answer") << oneRule(
            "Text:a", "Taste:0") << QStringLiteral("Zeile 2: „0“ ist keine Taste von 1 bis 10");
        QTest::newRow("button 11 as answer") << oneRule(
            "Text:a", "Taste:11") << QStringLiteral("Zeile 2: „11“ ist keine Taste von 1 bis 10");
        QTest::newRow("no button as answer") << oneRule(
            "Text:a", "Taste:") << QStringLiteral("Zeile 2: „“ ist keine Taste von 1 bis 10");
        QTest::newRow("empty text pattern")
            << oneRule("Text:", "Taste:1")
            << QStringLiteral("Zeile 1: das Muster „“ wird nicht angenommen: Kein Suchmuster");
        QTest::newRow("text pattern outside Windows-1252")
            << oneRule("Text:a\xe2\x86\x92", "Taste:1")
            << QStringLiteral("Zeile 1: das Muster „a→“ wird nicht angenommen: Das Zeichen „→“ an "
                              "Stelle 2 gibt es in Windows-1252 nicht");
        QTest::newRow("hex pattern with a bad group")
            << oneRule("Hex:06 ?X", "Taste:1")
            << QStringLiteral("Zeile 1: das Muster „06 ?X“ wird nicht angenommen: Ungültige "
                              "Hex-Eingabe an Stelle 4");
        QTest::newRow("hex pattern of ?? alone")
            << oneRule("Hex:?? ??", "Taste:1")
            << QStringLiteral("Zeile 1: das Muster „?? ??“ wird nicht angenommen: Ein Muster nur "
                              "aus ?? passt auf alles");
        QTest::newRow("empty hex pattern")
            << oneRule("Hex:", "Taste:1")
            << QStringLiteral("Zeile 1: das Muster „“ wird nicht angenommen: Kein Suchmuster");
        QTest::newRow("hex pattern outside Windows-1252")
            << oneRule("Hex:4\xe2\x86\x92", "Taste:1")
            << QStringLiteral("Zeile 1: das Muster „4→“ wird nicht angenommen: Das Zeichen „→“ "
                              "an Stelle 2 gibt es in Windows-1252 nicht");
        QTest::newRow("empty text answer")
            << oneRule("Text:a", "Text:")
            << QStringLiteral("Zeile 2: die Antwort „“ wird nicht angenommen: Keine Daten");
        QTest::newRow("hex answer with a short group")
            << oneRule("Text:a", "Hex:41 0")
            << QStringLiteral("Zeile 2: die Antwort „41 0“ wird nicht angenommen: Ungültige "
                              "Hex-Eingabe an Stelle 4");
        QTest::newRow("empty hex answer")
            << oneRule("Text:a", "Hex:")
            << QStringLiteral("Zeile 2: die Antwort „“ wird nicht angenommen: Ungültige "
                              "Hex-Eingabe an Stelle 1");
        QTest::newRow("delay above a minute")
            << QByteArray("Regel1.Verzoegerung=60001\n")
            << QStringLiteral("Zeile 1: „60001“ ist keine Verzögerung von 0 bis 60000 ms");
        QTest::newRow("negative delay")
            << QByteArray("Regel1.Verzoegerung=-1\n")
            << QStringLiteral("Zeile 1: „-1“ ist keine Verzögerung von 0 bis 60000 ms");
        QTest::newRow("delay with its umlaut")
            << QByteArray("Regel1.Verzögerung=5\n")
            << QStringLiteral("Zeile 1 ist unverständlich: „Regel1.Verzögerung=5“");
        QTest::newRow("unknown how")
            << QByteArray("Regel1.Wie=immer\n")
            << QStringLiteral("Zeile 1: „immer“ ist weder „jedes Mal“ noch „einmal“");
        QTest::newRow("unknown active") << QByteArray(
            "Regel1.Aktiv=Ja\n") << QStringLiteral("Zeile 1: „Ja“ ist weder „ja“ noch „nein“");
        const QString escapes = QStringLiteral(" ist keine der Folgen mit Backslash (\\\\, \\r, "
                                               "\\n, \\t, \\xHH)");
        QTest::newRow("unknown escape")
            << oneRule("Text:a\\qb", "Taste:1") << QStringLiteral("Zeile 1: „\\q“") + escapes;
        QTest::newRow("backslash at the end")
            << oneRule("Text:a", "Text:b\\") << QStringLiteral("Zeile 2: „\\“") + escapes;
        QTest::newRow("\\x with one digit")
            << oneRule("Text:\\x4", "Taste:1") << QStringLiteral("Zeile 1: „\\x“") + escapes;
        QTest::newRow("\\x with a letter beyond F")
            << oneRule("Text:\\xG0", "Taste:1") << QStringLiteral("Zeile 1: „\\x“") + escapes;
        QTest::newRow("\\u is not one")
            << oneRule("Text:\\u0041", "Taste:1") << QStringLiteral("Zeile 1: „\\u“") + escapes;
        QTest::newRow("an escape in a hex entry")
            << oneRule("Hex:41 \\z", "Taste:1") << QStringLiteral("Zeile 1: „\\z“") + escapes;
        QTest::newRow("place of three") << QByteArray(
            "Fenster=1,2,3\n") << QStringLiteral("Zeile 1 ist unverständlich: „Fenster=1,2,3“");
        QTest::newRow("place far beyond a screen")
            << QByteArray("Fenster=16777216,0\n")
            << QStringLiteral("Zeile 1 ist unverständlich: „Fenster=16777216,0“");
        QTest::newRow("a long line is cut short in the message")
            << QByteArray("Unbekannt=") + QByteArray(100, 'x')
            << QStringLiteral("Zeile 1 ist unverständlich: „Unbekannt=%1…“")
                   .arg(QString(50, QLatin1Char('x')));
        QTest::newRow("not UTF-8")
            << QByteArray("# \xe4\n") << QStringLiteral("die Datei ist kein UTF-8-Text");
        QTest::newRow("too large") << QByteArray(64 * 1024 + 1, '#')
                                   << QStringLiteral("die Datei ist mit 65.537 Bytes zu groß");
        {
            // Control characters as they stand take a quarter of what the
            // file writes for them: the file fits, its rules written again would not.
            QByteArray file;
            for (int i = 1; i <= 100; ++i) {
                const QByteArray n = QByteArray::number(i);
                file += "Regel" + n + ".Muster=Text:" + QByteArray(80, '\x01') + "\nRegel" + n
                    + ".Antwort=Text:" + QByteArray(80, '\x02') + "\n";
            }
            QVERIFY(file.size() < 64 * 1024);
            QTest::newRow("rules too long when written")
                << file << QStringLiteral("die Regeln brauchen zusammen mehr als 63 KiB");
        }
    }
    void refusesDamagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        const RoutinesSettings::ReadResult read = RoutinesSettings::parse(bytes);
        QCOMPARE(read.problem, problem);
        // A damaged file leaves nothing half-read in force.
        QVERIFY(read.settings == RoutinesSettings());
    }

    void escapesWhatTheLineCannotHold_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("plain") << QStringLiteral("OK") << QByteArray("Text:OK");
        QTest::newRow("backslash") << QStringLiteral("a\\b") << QByteArray("Text:a\\\\b");
        QTest::newRow("CR LF Tab") << QStringLiteral("AT\r\n\t") << QByteArray("Text:AT\\r\\n\\t");
        QTest::newRow("other controls") << QStringLiteral("\x01\x1f\x7f") + QChar(0x81) + QChar(0)
                                        << QByteArray("Text:\\x01\\x1F\\x7F\\x81\\x00");
        QTest::newRow("a blank at the end")
            << QStringLiteral(" a  ") << QByteArray("Text: a \\x20");
        QTest::newRow("a no-break space at the end")
            << QStringLiteral("a\u00a0") << QByteArray("Text:a\\xA0");
        QTest::newRow("a no-break space inside") << QStringLiteral("\u00a0a")
                                                 << QByteArray("Text:\xc2\xa0"
                                                               "a");
        QTest::newRow("a blank alone") << QStringLiteral(" ") << QByteArray("Text:\\x20");
        QTest::newRow("letters beyond ASCII")
            << QStringLiteral("ä€") << QByteArray("Text:\xc3\xa4\xe2\x82\xac");
    }
    void escapesWhatTheLineCannotHold()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        const RoutinesSettings settings = withRules({ textRule(text, text) });
        const QByteArray file = settings.serialize();
        QVERIFY2(file.contains("\nRegel1.Muster=" + written + "\n"), file.constData());
        QVERIFY2(file.contains("\nRegel1.Antwort=" + written + "\n"), file.constData());
        const RoutinesSettings::ReadResult read = RoutinesSettings::parse(file);
        QCOMPARE(read.problem, QString());
        QCOMPARE(read.settings.rules().at(0).pattern, text);
        QCOMPARE(read.settings.rules().at(0).payload, text);
    }

    // Random objects, each written and read back; TAVEL_TEST_SEED repeats a run.
    void randomObjectsComeBack()
    {
        QRandomGenerator &dice = testDice();
        for (int round = 0; round < 500; ++round) {
            const RoutinesSettings settings = drawnSettings(dice);
            const QByteArray file = settings.serialize();
            const RoutinesSettings::ReadResult read = RoutinesSettings::parse(file);
            QVERIFY2(read.problem.isEmpty(),
                qPrintable(QStringLiteral("round %1: %2").arg(round).arg(read.problem)));
            QVERIFY2(read.settings == settings, qPrintable(QStringLiteral("round %1").arg(round)));
            QCOMPARE(read.settings.serialize(), file);
        }
    }

    void settersKeepTheLimits()
    {
        RoutinesSettings settings;
        settings.setRepeat(1, { 0, -5 });
        QCOMPARE(settings.repeat(1), (Repeat { 1, 0 }));
        settings.setRepeat(10, { 90'000'000, 2'000'000'000 });
        QCOMPARE(settings.repeat(10), (Repeat { 86'400'000, 1'000'000'000 }));
        settings.setRepeat(0, { 5, 5 });
        settings.setRepeat(11, { 5, 5 });
        QCOMPARE(settings.repeat(0), Repeat());
        QCOMPARE(settings.repeat(11), Repeat());
        settings.setWindowPlace(QPoint(1 << 30, -(1 << 30)));
        QVERIFY(settings.windowPlace() == std::optional(QPoint(16'777'215, -16'777'215)));
        QVERIFY(RoutinesSettings::parse(settings.serialize()).settings == settings);
    }

    void rulesAreKeptInOneForm()
    {
        RoutinesSettings settings;
        Rule hex = rule(
            Notation::Hex, QStringLiteral("  06 ?? 15"), Notation::Hex, QStringLiteral("41 0D  "));
        Rule button = rule(
            Notation::Text, QStringLiteral("OK"), Notation::Hex, QStringLiteral("left over "));
        button.answerButton = 4;
        QCOMPARE(settings.setRules({ hex, button }), QString());
        QCOMPARE(settings.rules().at(0).pattern, QStringLiteral("06 ?? 15 "));
        QCOMPARE(settings.rules().at(0).payload, QStringLiteral("41 0D "));
        QCOMPARE(settings.rules().at(1).answerButton, 4);
        QCOMPARE(settings.rules().at(1).payload, QString());
        QCOMPARE(settings.rules().at(1).payloadNotation, Notation::Text);
        QVERIFY(RoutinesSettings::parse(settings.serialize()).settings == settings);
    }

    void refusesRulesItCannotKeep_data()
    {
        QTest::addColumn<Rule>("bad");
        QTest::addColumn<QString>("problem");
        QTest::newRow("empty pattern") << textRule({}, QStringLiteral("x"))
                                       << QStringLiteral("Regel 2: das Muster „“ wird nicht "
                                                         "angenommen: Kein Suchmuster");
        QTest::newRow("pattern outside Windows-1252")
            << textRule(QStringLiteral("→"), QStringLiteral("x"))
            << QStringLiteral("Regel 2: das Muster „→“ wird nicht angenommen: Das Zeichen „→“ an "
                              "Stelle 1 gibt es in Windows-1252 nicht");
        QTest::newRow("a lone surrogate in a hex entry") << rule(Notation::Text,
            QStringLiteral("a"), Notation::Hex, QString(QChar(0xd800)) + QStringLiteral("1 "))
                                                         << QStringLiteral("Regel 2: die Antwort „")
                + QChar(0xd800) + QStringLiteral("1 “ wird nicht angenommen: Das Zeichen „")
                + QChar(0xd800) + QStringLiteral("“ an Stelle 1 gibt es in Windows-1252 nicht");
        QTest::newRow("bad hex payload")
            << rule(Notation::Text, QStringLiteral("a"), Notation::Hex, QStringLiteral("4"))
            << QStringLiteral("Regel 2: die Antwort „4“ wird nicht angenommen: Ungültige "
                              "Hex-Eingabe an Stelle 1");
        QTest::newRow("empty text payload") << textRule(QStringLiteral("a"), {})
                                            << QStringLiteral("Regel 2: die Antwort „“ wird nicht "
                                                              "angenommen: Keine Daten");
        QTest::newRow("button 11") << buttonRule(QStringLiteral("a"), 11)
                                   << QStringLiteral("Regel 2: „11“ ist keine Taste von 1 bis 10");
        QTest::newRow("button -1") << buttonRule(QStringLiteral("a"), -1)
                                   << QStringLiteral("Regel 2: „-1“ ist keine Taste von 1 bis 10");
        Rule slow = textRule(QStringLiteral("a"), QStringLiteral("b"));
        slow.delayMs = 60'001;
        QTest::newRow("delay above a minute")
            << slow << QStringLiteral("Regel 2: „60001“ ist keine Verzögerung von 0 bis 60000 ms");
        slow.delayMs = -1;
        QTest::newRow("negative delay")
            << slow << QStringLiteral("Regel 2: „-1“ ist keine Verzögerung von 0 bis 60000 ms");
    }
    void refusesRulesItCannotKeep()
    {
        QFETCH(Rule, bad);
        QFETCH(QString, problem);
        const Rule good = buttonRule(QStringLiteral("gut"), 1);
        RoutinesSettings settings = withRules({ good });
        QCOMPARE(settings.setRules({ good, bad }), problem);
        QVERIFY(settings.rules() == QList<Rule>({ good }));
        QVERIFY(RoutinesSettings::problemWith(bad).has_value());
        QVERIFY(!RoutinesSettings::problemWith(good).has_value());
    }

    void refusesTooManyOrTooLongRules()
    {
        RoutinesSettings settings;
        const Rule small = buttonRule(QStringLiteral("x"), 1);
        QCOMPARE(settings.setRules(QList<Rule>(RoutinesSettings::kMaxRules, small)), QString());
        QCOMPARE(settings.setRules(QList<Rule>(RoutinesSettings::kMaxRules + 1, small)),
            QStringLiteral("mehr als 100 Regeln"));
        QCOMPARE(settings.rules().size(), RoutinesSettings::kMaxRules);
        // Each control character is written as four: 100 rules of 2 × 90 of
        // them need 72 KB.
        const Rule large = textRule(QString(90, QChar(1)), QString(90, QChar(2)));
        QCOMPARE(settings.setRules(QList<Rule>(RoutinesSettings::kMaxRules, large)),
            QStringLiteral("die Regeln brauchen zusammen mehr als 63 KiB"));
        QCOMPARE(settings.rules().size(), RoutinesSettings::kMaxRules);
        // The most that is taken still reads back, with every other setting at its longest.
        QList<Rule> rules;
        while (true) {
            rules.append(large);
            if (!settings.setRules(rules).isEmpty())
                break;
        }
        rules.removeLast();
        QCOMPARE(settings.setRules(rules), QString());
        for (int button = 1; button <= RoutinesSettings::kButtonCount; ++button)
            settings.setRepeat(button, { 86'400'000, 1'000'000'000 });
        settings.setWindowPlace(QPoint(-16'777'215, -16'777'215));
        const RoutinesSettings::ReadResult read = RoutinesSettings::parse(settings.serialize());
        QCOMPARE(read.problem, QString());
        QVERIFY(read.settings == settings);
    }

    void storeKeepsTheFile()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path
            = RoutinesSettingsStore::pathBeside(folder.filePath(QStringLiteral("tavel.cfg")));
        QCOMPARE(path, folder.filePath(QStringLiteral("tavel-ablaeufe.cfg")));

        // No file yet: the defaults, without a word.
        RoutinesSettingsStore store(path);
        RoutinesSettingsStore::LoadResult loaded = store.load();
        QCOMPARE(loaded.problem, QString());
        QVERIFY(loaded.settings == RoutinesSettings());

        QCOMPARE(store.save(example()), QString());
        QCOMPARE(contentsOf(path), kExampleFile);
        loaded = RoutinesSettingsStore(path).load();
        QCOMPARE(loaded.problem, QString());
        QVERIFY(loaded.settings == example());

        // A damaged file: the defaults, a message naming it, and the file kept
        // as its .bak at the next save.
        const QByteArray damaged = "Regel1.Muster=Text:a\nRegel1.Antwort=Taste:12\n";
        QVERIFY(writeFile(path, damaged));
        RoutinesSettingsStore again(path);
        loaded = again.load();
        QVERIFY2(
            loaded.problem.startsWith(QStringLiteral("Die Abläufe „")), qPrintable(loaded.problem));
        QVERIFY2(loaded.problem.contains(
                     QStringLiteral("sind beschädigt: Zeile 2: „12“ ist keine Taste von 1 bis 10. "
                                    "Es gelten die Voreinstellungen")),
            qPrintable(loaded.problem));
        QVERIFY(loaded.settings == RoutinesSettings());
        QCOMPARE(again.save(RoutinesSettings()), QString());
        QCOMPARE(contentsOf(again.backupPath()), damaged);
        QCOMPARE(contentsOf(path), RoutinesSettings().serialize());
    }
};

QTEST_GUILESS_MAIN(tst_RoutinesSettings)
#include "tst_routinessettings.moc"
