#include "automation/routineoutput.h"
#include "automation/routines.h"
#include "ptydevice.h"
#include "serial/mscomm.h"
#include "testdice.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <array>
#include <memory>

namespace {

using Rule = RoutinesSettings::Rule;
using Notation = RoutinesSettings::Notation;

Rule textRule(const QString &pattern, const QString &answer, bool everyTime = true)
{
    Rule rule;
    rule.pattern = pattern;
    rule.payload = answer;
    rule.everyTime = everyTime;
    return rule;
}

// The transmit step as the program has it, straight onto the port: each
// button's commands are its text in Latin-1, and every send is noted.
struct WireOutput : RoutineOutput
{
    explicit WireOutput(MSComm &port)
        : comm(port)
    {
    }

    bool connectionCheck() override
    {
        ++checks;
        return comm.PortOpen();
    }
    bool hasCommands(int button) const override { return !buttons[size_t(button - 1)].isEmpty(); }
    void sendButton(int button) override
    {
        (void)comm.Output(buttons[size_t(button - 1)].toLatin1());
    }
    void sendPayload(const QByteArray &bytes, const QString &textEcho,
        const std::optional<QString> &hexEcho) override
    {
        echoes.append({ textEcho, hexEcho.value_or(QStringLiteral("-")) });
        (void)comm.Output(bytes);
    }

    MSComm &comm;
    std::array<QString, RoutinesSettings::kButtonCount> buttons {};
    int checks = 0;
    QList<QStringList> echoes;
};

} // namespace

// The repeats and the answering rules on a real pty: the test plays the
// device at the far end and sees what reaches the wire.
class TestRoutines : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PtyDevice> m_device;
    std::unique_ptr<MSComm> m_comm;
    std::unique_ptr<WireOutput> m_output;
    std::unique_ptr<Routines> m_routines;
    qint64 m_read = 0;

    Routines &routines() { return *m_routines; }
    PtyDevice &device() { return *m_device; }

    bool open()
    {
        qputenv("TAVEL_COM1", QFile::encodeName(device().slavePath()));
        return !m_comm->setCommPort(1) && !m_comm->setSettings(QStringLiteral("115200,N,8,1"))
            && !m_comm->setPortOpen(true);
    }

    // The device sends; returns once the routines have read it all.
    void deviceSends(const QByteArray &bytes)
    {
        const qint64 before = m_read;
        QVERIFY(device().write(bytes));
        QTRY_COMPARE(m_read, before + bytes.size());
    }

private Q_SLOTS:
    void init()
    {
        m_device = std::make_unique<PtyDevice>();
        m_comm = std::make_unique<MSComm>();
        m_output = std::make_unique<WireOutput>(*m_comm);
        m_routines = std::make_unique<Routines>(*m_comm, *m_output);
        m_routines->followConnection();
        // As the main window reads the port: everything, at each event.
        connect(m_comm.get(), &MSComm::OnComm, m_routines.get(), [this] {
            if (m_comm->CommEvent() != MSComm::comEvReceive)
                return;
            const QByteArray bytes = m_comm->Input();
            m_read += bytes.size();
            m_routines->received(bytes);
        });
        QVERIFY(open());
    }

    void cleanup()
    {
        m_routines.reset();
        m_output.reset();
        m_comm.reset();
        m_device.reset();
    }

    void repeatSendsAsOftenAsCountedAndEnds_data()
    {
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<int>("count");
        QTest::newRow("5 x 100 ms") << 100 << 5;
        QTest::newRow("once") << 50 << 1;
        QTest::newRow("3 x 1 ms") << 1 << 3;
    }

    void repeatSendsAsOftenAsCountedAndEnds()
    {
        QFETCH(int, intervalMs);
        QFETCH(int, count);
        m_output->buttons[2] = QStringLiteral("T?\r");
        QSignalSpy changes(m_routines.get(), &Routines::repeatChanged);
        QCOMPARE(routines().startRepeat(3, { intervalMs, count }), Routines::StartResult::Started);
        const QByteArray expected = QByteArray("T?\r").repeated(count);
        QCOMPARE(device().read(expected.size(), 5000), expected);
        QTRY_VERIFY(!routines().repeat(3).isRunning());
        QCOMPARE(device().readFor(3 * intervalMs + 100), QByteArray());
        QCOMPARE(routines().repeat(3).sent(), count);
        QVERIFY(!changes.isEmpty() && changes.last().at(0).toInt() == 3);
    }

    void repeatWithoutEndGoesOnUntilStopped()
    {
        m_output->buttons[0] = QStringLiteral("P");
        routines().startRepeat(1, { 10, 0 });
        QByteArray arrived = device().read(20, 5000);
        QVERIFY(arrived.size() >= 20);
        routines().stopRepeat(1);
        QVERIFY(!routines().repeat(1).isRunning());
        arrived += device().readFor(200);
        QCOMPARE(arrived, QByteArray(routines().repeat(1).sent(), 'P'));
    }

    // A device that reads nothing: each send waits for the one before it,
    // so the queue never holds more than one, and nothing is lost or doubled
    // once the device reads again.
    void repeatFasterThanTheLineSkipsInsteadOfPilingUp()
    {
        const QString big(64 * 1024, QLatin1Char('x'));
        m_output->buttons[1] = big;
        routines().startRepeat(2, { 1, 0 });
        qint64 mostQueued = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 300) {
            QTest::qWait(5);
            mostQueued = std::max(mostQueued, m_comm->bytesToWrite());
        }
        QVERIFY(routines().repeat(2).skipped() > 0);
        QVERIFY2(mostQueued <= big.size(), qPrintable(QString::number(mostQueued)));
        routines().stopRepeat(2);
        const qint64 expected = qint64(routines().repeat(2).sent()) * big.size();
        QCOMPARE(device().read(expected, 10000).size(), expected);
        QCOMPARE(device().readFor(100), QByteArray());
    }

    void startNeedsAConnectionAndCommands()
    {
        m_output->buttons[0] = QStringLiteral("X");
        QVERIFY(!m_comm->setPortOpen(false));
        m_output->checks = 0;
        QCOMPARE(routines().startRepeat(1, { 10, 0 }), Routines::StartResult::NotConnected);
        QCOMPARE(m_output->checks, 1);
        QVERIFY(!routines().repeat(1).isRunning());
        QVERIFY(open());
        QCOMPARE(routines().startRepeat(2, { 10, 0 }), Routines::StartResult::NothingToSend);
        QVERIFY(!routines().repeat(2).isRunning());
        QCOMPARE(device().readFor(100), QByteArray());
    }

    void endOfConnectionStopsEverythingOnceAndForGood_data()
    {
        QTest::addColumn<bool>("lost");
        QTest::newRow("device lost") << true;
        QTest::newRow("closed on purpose") << false;
    }

    void endOfConnectionStopsEverythingOnceAndForGood()
    {
        QFETCH(bool, lost);
        m_output->buttons[0] = QStringLiteral("A");
        m_output->buttons[1] = QStringLiteral("B");
        routines().setRules({ textRule(QStringLiteral("GO"), QStringLiteral("ok")) });
        routines().startRepeat(1, { 10, 0 });
        routines().startRepeat(2, { 20, 0 });
        QVERIFY(!device().read(4, 3000).isEmpty());
        QSignalSpy stopped(m_routines.get(), &Routines::stoppedByConnectionEnd);
        if (lost) {
            device().closeMaster();
            QTRY_VERIFY(!m_comm->PortOpen());
            QVERIFY(device().reopen());
        } else {
            QVERIFY(!m_comm->setPortOpen(false));
        }
        QTest::qWait(50);
        QCOMPARE(stopped.size(), 1);
        QVERIFY(!routines().anyRepeatRunning());
        QVERIFY(!routines().isAnswering());

        // Back on the line, nothing resumes by itself.
        QVERIFY(open());
        (void)device().readFor(50);
        deviceSends("GO");
        QCOMPARE(device().readFor(300), QByteArray());
        QCOMPARE(stopped.size(), 1);
    }

    void endOfConnectionWithNothingRunningIsNotReported()
    {
        routines().setRules({ textRule(QStringLiteral("GO"), QStringLiteral("ok")) });
        routines().setAnswering(false);
        QSignalSpy stopped(m_routines.get(), &Routines::stoppedByConnectionEnd);
        QVERIFY(!m_comm->setPortOpen(false));
        QCOMPARE(stopped.size(), 0);
    }

    // The start-up probe opens and closes the ports before the routines
    // follow the connection: the rules answer as saved afterwards.
    void closingBeforeFollowingStopsNothing()
    {
        MSComm probed;
        WireOutput output(probed);
        Routines fresh(probed, output);
        fresh.setRules({ textRule(QStringLiteral("GO"), QStringLiteral("ok")) });
        PtyDevice other;
        qputenv("TAVEL_COM1", QFile::encodeName(other.slavePath()));
        QVERIFY(!probed.setCommPort(1) && !probed.setPortOpen(true));
        QVERIFY(!probed.setPortOpen(false));
        QVERIFY(fresh.isAnswering());
    }

    // However the device's bytes are cut into reads, every match is answered
    // once: each piece is read before the next is written. Each trial stays
    // under the rule's brake of ten answers a second.
    void answersEveryMatchHoweverTheReadsSplitIt()
    {
        QRandomGenerator &dice = testDice();
        for (int trial = 0; trial < 6; ++trial) {
            routines().setRules({ textRule(QStringLiteral("READY"), QStringLiteral("!")) });
            const int matches = AnswerWatch::kMaxAnswersPerSecond - 2;
            QByteArray stream;
            for (int match = 0; match < matches; ++match) {
                stream += QByteArray(int(dice.bounded(4)), 'R') + "READY";
                stream += dice.bounded(2) ? QByteArray("REA") : QByteArray("EADY");
            }
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype piece
                    = std::min<qsizetype>(1 + dice.bounded(7), stream.size() - at);
                deviceSends(stream.mid(at, piece));
                at += piece;
            }
            QCOMPARE(device().read(matches, 3000), QByteArray(matches, '!'));
            QCOMPARE(routines().watch().answered(0), matches);
        }
    }

    void onceAnswersTheFirstMatchUntilRestarted()
    {
        routines().setRules({ textRule(QStringLiteral("OK"), QStringLiteral("1"), false) });
        deviceSends("OK OK");
        deviceSends("OK");
        QCOMPARE(device().readFor(100), QByteArray("1"));
        QCOMPARE(routines().watch().state(0), AnswerWatch::State::Done);
        routines().restartRule(0);
        deviceSends("xOKx");
        QCOMPARE(device().read(1), QByteArray("1"));
    }

    // A device that echoes what it gets, and a rule that answers its own
    // answer: it stops after ten answers within the second.
    void answerToItsOwnEchoIsBraked()
    {
        routines().setRules({ textRule(QStringLiteral("PING"), QStringLiteral("PING")) });
        QSignalSpy changes(m_routines.get(), &Routines::answersChanged);
        QByteArray heard;
        QVERIFY(device().write("PING"));
        for (int turn = 0; turn < 40; ++turn) {
            const QByteArray echo = device().readFor(20);
            heard += echo;
            if (!echo.isEmpty())
                QVERIFY(device().write(echo));
        }
        QCOMPARE(heard, QByteArray("PING").repeated(AnswerWatch::kMaxAnswersPerSecond));
        QCOMPARE(routines().watch().state(0), AnswerWatch::State::Braked);
        QVERIFY(!changes.isEmpty());
    }

    void delayedAnswerWaitsAndIsDroppedWhenTheConnectionEnds()
    {
        Rule rule = textRule(QStringLiteral("Q"), QStringLiteral("A"));
        rule.delayMs = 300;
        routines().setRules({ rule });
        deviceSends("Q");
        QCOMPARE(device().readFor(100), QByteArray());
        QCOMPARE(device().read(1, 3000), QByteArray("A"));

        deviceSends("Q");
        QVERIFY(!m_comm->setPortOpen(false));
        QVERIFY(open());
        QCOMPARE(device().readFor(500), QByteArray());
    }

    void answersWithAButtonOrBytesOfItsOwn_data()
    {
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QStringList>("echo");
        Rule button = textRule(QStringLiteral("?"), QString());
        button.answerButton = 4;
        QTest::newRow("button") << button << QByteArray("STATUS\r") << QStringList();
        Rule hex = textRule(QStringLiteral("?"), QStringLiteral("02 41 03"));
        hex.payloadNotation = Notation::Hex;
        QTest::newRow("hex") << hex
                             << QByteArray("\x02"
                                           "A\x03")
                             << QStringList { QStringLiteral("\x02"
                                                             "A\x03"),
                                    QStringLiteral("02 41 03 ") };
        QTest::newRow("text") << textRule(QStringLiteral("?"), QStringLiteral("ok\r"))
                              << QByteArray("ok\r")
                              << QStringList { QStringLiteral("ok\r"), QStringLiteral("-") };
    }

    void answersWithAButtonOrBytesOfItsOwn()
    {
        QFETCH(Rule, rule);
        QFETCH(QByteArray, wire);
        QFETCH(QStringList, echo);
        m_output->buttons[3] = QStringLiteral("STATUS\r");
        routines().setRules({ rule });
        deviceSends("?");
        QCOMPARE(device().read(wire.size()), wire);
        QCOMPARE(m_output->echoes.value(0), echo);
    }

    // Switched off, no rule answers; switched on, every rule watches afresh,
    // the braked and the finished ones too.
    void answeringSwitchedOffAndOnAgain()
    {
        routines().setRules({ textRule(QStringLiteral("OK"), QStringLiteral("1"), false) });
        deviceSends("OK");
        QCOMPARE(device().read(1), QByteArray("1"));
        routines().setAnswering(false);
        deviceSends("OK");
        QCOMPARE(device().readFor(100), QByteArray());
        routines().setAnswering(true);
        QCOMPARE(routines().watch().state(0), AnswerWatch::State::Watching);
        deviceSends("OK");
        QCOMPARE(device().read(1), QByteArray("1"));
    }
};

QTEST_GUILESS_MAIN(TestRoutines)
#include "tst_routines.moc"
