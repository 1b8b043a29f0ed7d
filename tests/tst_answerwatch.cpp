#include "automation/answerwatch.h"
#include "testdice.h"

#include <QTest>

// The watch over the received bytes for the answering rules: every match
// answered once however the reads split it, "einmal" once only, and a rule
// that would answer without end braked.
class tst_AnswerWatch : public QObject
{
    Q_OBJECT

private:
    static RoutinesSettings::Rule rule(
        const QString &pattern, bool hex = false, bool everyTime = true, bool active = true)
    {
        RoutinesSettings::Rule made;
        made.patternNotation
            = hex ? RoutinesSettings::Notation::Hex : RoutinesSettings::Notation::Text;
        made.pattern = pattern;
        made.answerButton = 1;
        made.everyTime = everyTime;
        made.active = active;
        return made;
    }

private Q_SLOTS:
    // The same stream in many random splits: each match is answered once,
    // in stream order, and the answers of two rules interleave as their
    // matches end.
    void everyMatchIsAnsweredOnceHoweverTheReadsSplit()
    {
        QRandomGenerator &dice = testDice();
        QByteArray stream;
        QList<int> expected;
        for (int i = 0; i < 40; ++i) {
            stream += QByteArray(dice.bounded(0, 20), '.');
            if (dice.bounded(0, 2) == 0) {
                stream += "READY";
                expected << 0;
            } else {
                stream += QByteArray("\x06\x15", 2);
                expected << 1;
            }
        }
        for (int split = 0; split < 200; ++split) {
            AnswerWatch watch;
            watch.setRules({ rule(QStringLiteral("READY")), rule(QStringLiteral("06 15"), true) });
            QList<int> answered;
            qint64 now = 0;
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype piece = std::min<qsizetype>(dice.bounded(1, 9), stream.size() - at);
                // Slow enough never to brake.
                now += 200;
                answered += watch.feed(QByteArrayView(stream).sliced(at, piece), now);
                at += piece;
            }
            QCOMPARE(answered, expected);
        }
    }

    void onceAnswersOnceUntilRestarted()
    {
        AnswerWatch watch;
        watch.setRules({ rule(QStringLiteral("OK"), false, false) });
        QCOMPARE(watch.feed("OK OK", 0), QList<int> { 0 });
        QCOMPARE(watch.state(0), AnswerWatch::State::Done);
        QCOMPARE(watch.feed("OK", 1000), QList<int> {});
        watch.restart(0);
        QCOMPARE(watch.feed("OK", 2000), QList<int> { 0 });
        QCOMPARE(watch.answered(0), 2);
    }

    // A device that echoes the answer: the eleventh answer within a second
    // is not given, and the rule stays braked until restarted.
    void runawayRuleIsBraked()
    {
        AnswerWatch watch;
        watch.setRules({ rule(QStringLiteral("X")) });
        int given = 0;
        for (int ms = 0; ms < 500; ms += 10)
            given += int(watch.feed("X", ms).size());
        QCOMPARE(given, AnswerWatch::kMaxAnswersPerSecond);
        QCOMPARE(watch.state(0), AnswerWatch::State::Braked);
        QCOMPARE(watch.feed("X", 5000), QList<int> {});
        watch.restart(0);
        QCOMPARE(watch.feed("X", 5000), QList<int> { 0 });
        // Ten a second, spread out, is not braked.
        for (int ms = 6000; ms < 9000; ms += 100)
            QCOMPARE(watch.feed("X", ms), QList<int> { 0 });
    }

    void inactiveOrBrokenRulesNeverAnswer()
    {
        AnswerWatch watch;
        watch.setRules({ rule(QStringLiteral("A"), false, true, false),
            rule(QStringLiteral("41 4"), true), rule(QStringLiteral("A")) });
        QCOMPARE(watch.feed("A", 0), QList<int> { 2 });
        QCOMPARE(watch.state(0), AnswerWatch::State::Inactive);
        QCOMPARE(watch.state(1), AnswerWatch::State::Inactive);
        // A match does not span the end of a connection.
        QCOMPARE(watch.feed("RE", 10), QList<int> {});
        watch.setRules({ rule(QStringLiteral("READY")) });
        QCOMPARE(watch.feed("REA", 20), QList<int> {});
        watch.resetStream();
        QCOMPARE(watch.feed("DY", 30), QList<int> {});
    }
};

QTEST_GUILESS_MAIN(tst_AnswerWatch)
#include "tst_answerwatch.moc"
