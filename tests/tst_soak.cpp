#include "automation/frmautomat.h"
#include "mainwindowfixture.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frmsendefenster.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <ctime>
#include <functional>

// A long session against a device that streams random bytes while the user
// sends, clears, hides and shows windows, disconnects and reconnects, and the
// device vanishes and comes back. Sizes come from the environment:
// TAVEL_SOAK_BYTES (what the device streams), TAVEL_SOAK_ROUNDS (how many
// reconnects and how many vanishings), TAVEL_SOAK_SEED (to repeat a run).

namespace {

const QString kNotConnected = QStringLiteral("Es besteht keine serielle Verbindung.");

qint64 environmentNumber(const char *name, qint64 fallback)
{
    const qint64 value = qEnvironmentVariable(name).toLongLong();
    return value > 0 ? value : fallback;
}

// Codes 1 to 255 (a text box holds no 0), or any code with `zero`.
QByteArray randomBytes(QRandomGenerator &dice, qint64 size, bool zero = true)
{
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    for (char &c : bytes)
        c = char(dice.bounded(zero ? 0 : 1, 256));
    return bytes;
}

// "fd -> target" for every open descriptor.
QStringList openFileDescriptors()
{
    QStringList list;
    for (const QFileInfo &fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System))
        list << fd.fileName() + QStringLiteral(" -> ") + fd.symLinkTarget();
    list.sort();
    return list;
}

// CPU time of the whole process over one second in which nothing happens.
double idleSecondCpuMs()
{
    QTest::qWait(200);
    const std::clock_t before = std::clock();
    QTest::qWait(1000);
    return double(std::clock() - before) * 1000 / CLOCKS_PER_SEC;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private:
    qint64 m_totalBytes = 0;
    int m_rounds = 0;
    QRandomGenerator m_dice;
    MainWindowFixture *m_f = nullptr;
    QString m_failure;
    qsizetype m_expectedMessages = 0;
    qint64 m_streamed = 0;
    int m_reconnects = 0;
    int m_vanishings = 0;

    // Device to Tavel since the last connect or the last time the
    // received-data window was emptied, and where that starts in its log;
    // Tavel to device since the last connect.
    QByteArray m_rxSent;
    qint64 m_rxLogStart = 0;
    QByteArray m_txExpected;
    QByteArray m_txArrived;

    MSComm &comm() const { return m_f->comm(); }
    FrmEinstellungen &settings() const { return m_f->window->einstellungen().get(); }

    bool fail(const QString &why)
    {
        m_failure = why;
        return false;
    }

    // Runs the event loop, collecting what Tavel sent, until done() or the
    // time runs out.
    bool waitUntil(const std::function<bool()> &done, int timeoutMs = 60000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            if (m_f->com1.isOpen())
                m_txArrived += m_f->com1.readFor(2);
            else
                QTest::qWait(2);
        }
        return true;
    }

    bool noUnexpectedMessage()
    {
        if (m_f->dialogs.messages.size() == m_expectedMessages)
            return true;
        return fail(QStringLiteral("unexpected message: ")
            + m_f->dialogs.messageTexts().mid(m_expectedMessages).join(QLatin1Char('|')));
    }

    qint64 logSize() const
    {
        const FrmEmpfang *received = m_f->window->empfang().loaded();
        return received ? received->log().size() : 0;
    }
    qint64 shownInSegment() const { return logSize() - m_rxLogStart; }
    void startReceiveSegment()
    {
        m_rxSent.clear();
        m_rxLogStart = logSize();
    }

    void startSegments()
    {
        startReceiveSegment();
        m_txExpected.clear();
        m_txArrived.clear();
    }

    bool deviceSends(qint64 size)
    {
        const QByteArray bytes = randomBytes(m_dice, size);
        if (!m_f->com1.write(bytes, 30000))
            return fail(QStringLiteral("the device could not write: nobody reads the line"));
        m_rxSent += bytes;
        m_streamed += size;
        m_txArrived += m_f->com1.readFor(0);
        return true;
    }

    // Waits until Tavel shows everything the device wrote and the device has
    // everything Tavel sent.
    bool drain()
    {
        if (!waitUntil([this] { return shownInSegment() >= m_rxSent.size(); }))
            return fail(QStringLiteral("received-data window shows %1 of %2 bytes")
                            .arg(shownInSegment())
                            .arg(m_rxSent.size()));
        if (!waitUntil([this] { return m_txArrived.size() >= m_txExpected.size(); }))
            return fail(QStringLiteral("device got %1 of %2 bytes")
                            .arg(m_txArrived.size())
                            .arg(m_txExpected.size()));
        return true;
    }

    // Both directions: all of it when nothing can have been lost, otherwise
    // a prefix (the device vanished with bytes on their way).
    bool verify(bool whole)
    {
        const qint64 shown = shownInSegment();
        if (shown > m_rxSent.size() || (whole && shown != m_rxSent.size()))
            return fail(QStringLiteral("%1 bytes shown, %2 sent").arg(shown).arg(m_rxSent.size()));
        if (shown > 0
            && m_f->window->empfang().loaded()->log().bytes(m_rxLogStart, shown)
                != m_rxSent.left(shown))
            return fail(QStringLiteral("the %1 bytes shown differ from those sent").arg(shown));
        if (whole ? m_txArrived != m_txExpected : !m_txExpected.startsWith(m_txArrived))
            return fail(QStringLiteral("device got %1 bytes not matching the %2 Tavel sent")
                            .arg(m_txArrived.size())
                            .arg(m_txExpected.size()));
        return true;
    }

    bool drainAndVerify() { return drain() && verify(true); }

    bool sendFromInputWindow()
    {
        FrmEingabe &input = m_f->window->eingabe().get();
        const QByteArray bytes = randomBytes(m_dice, m_dice.bounded(1, 121), false);
        if (m_dice.bounded(3) == 0) {
            input.OptionHex->setChecked(true);
            input.Text2->setText(HexNotation::write(bytes));
        } else {
            input.OptionText->setChecked(true);
            input.Text1->setText(Cp1252::toUnicode(bytes));
        }
        input.Command2->click();
        m_txExpected += bytes;
        return noUnexpectedMessage();
    }

    // A ticked box empties the received-data window in the same action, so
    // what it held is checked first.
    bool sendFromAutomationButton()
    {
        frmAutomat &automat = m_f->window->automat().get();
        const int n = int(m_dice.bounded(frmAutomat::kRows));
        const QByteArray bytes = randomBytes(m_dice, m_dice.bounded(1, 61), false);
        const bool clears = m_dice.bounded(4) == 0;
        automat.txtAutomat[n]->setText(Cp1252::toUnicode(bytes));
        automat.chkAutomat[n]->setChecked(clears);
        if (clears && !drainAndVerify())
            return false;
        automat.CmdAutomat[n]->click();
        m_txExpected += bytes;
        if (clears)
            startReceiveSegment();
        return noUnexpectedMessage();
    }

    bool clearReceivedWindow(bool unload)
    {
        if (!drainAndVerify())
            return false;
        if (unload)
            m_f->window->empfang().unload();
        else
            m_f->window->empfang().get().Command2->click();
        startReceiveSegment();
        return true;
    }

    void toggleSomeWindow()
    {
        MDITavel &w = *m_f->window;
        const auto toggle = [](auto &slot) {
            if (auto *form = slot.loaded(); form && form->frame()->isVisible())
                form->hideWindow();
            else
                slot.show();
        };
        const std::function<void()> toggles[] = { [&] { toggle(w.eingabe()); },
            [&] { toggle(w.sendefenster()); }, [&] { toggle(w.empfang()); },
            [&] { toggle(w.einstellungen()); }, [&] { toggle(w.automat()); } };
        toggles[m_dice.bounded(5)]();
    }

    bool reconnect()
    {
        if (!drainAndVerify())
            return false;
        settings().Command2->click();
        settings().Command3->click();
        if (!comm().PortOpen())
            return fail(QStringLiteral("not connected after Command2, Command3"));
        ++m_reconnects;
        startSegments();
        return noUnexpectedMessage();
    }

    // Half the time the device goes with bytes still on their way in both
    // directions; what made it through must then be where it belongs.
    bool vanishAndReturn()
    {
        const bool drained = m_dice.bounded(2) == 0;
        if (drained && !drain())
            return false;
        m_f->com1.closeMaster();
        const QString waiting
            = QStringLiteral("Verbindung über COM1 unterbrochen – warte auf das Gerät");
        if (!waitUntil([this, waiting] { return m_f->panel(2) == waiting; }, 10000)
            || comm().PortOpen())
            return fail(QStringLiteral("not waiting after the device vanished"));
        // What the port still held when the device went comes with a later event.
        QTest::qWait(20);
        if (!verify(drained) || !noUnexpectedMessage())
            return false;

        // Sending while the device is away is refused with the usual box.
        FrmEingabe &input = m_f->window->eingabe().get();
        input.Text1->setText(QStringLiteral("x"));
        input.OptionText->setChecked(true);
        input.Command2->click();
        if (m_f->dialogs.messageTexts().value(m_expectedMessages++) != kNotConnected)
            return fail(
                QStringLiteral("sending without device: ") + m_f->dialogs.messageTexts().join('|'));

        if (!m_f->com1.reopen())
            return fail(QStringLiteral("pty: ") + m_f->com1.errorString());
        qputenv("TAVEL_COM1", m_f->com1.slavePath().toLocal8Bit());
        settings().Command3->click();
        if (!comm().PortOpen())
            return fail(QStringLiteral("not connected after the device came back"));
        // Connecting ends the wait, which tells of bytes that never left.
        if (m_f->dialogs.messages.size() > m_expectedMessages
            && m_f->dialogs.messages.constLast().text.contains(
                QStringLiteral("noch nicht gesendet")))
            ++m_expectedMessages;
        ++m_vanishings;
        startSegments();
        return noUnexpectedMessage();
    }

    bool oneStep()
    {
        // Mostly large chunks for throughput, some small ones for odd splits.
        const qint64 size
            = m_dice.bounded(5) == 0 ? m_dice.bounded(1, 257) : m_dice.bounded(1024, 16385);
        if (!deviceSends(qMax<qint64>(1, qMin(size, m_totalBytes - m_streamed))))
            return false;
        const quint32 roll = m_dice.bounded(1000);
        if (roll < 60)
            return sendFromInputWindow();
        if (roll < 100)
            return sendFromAutomationButton();
        if (roll < 118)
            return clearReceivedWindow(roll >= 115);
        if (roll < 125)
            m_f->window->sendefenster().get().Command2->click();
        else if (roll < 160)
            toggleSomeWindow();
        else if (roll < 162)
            m_f->window->automat().unload();
        return noUnexpectedMessage();
    }

private Q_SLOTS:
    void longSessionLosesNothingLeaksNothingAndEndsIdle()
    {
        m_totalBytes = environmentNumber("TAVEL_SOAK_BYTES", 8 * 1024 * 1024);
        m_rounds = int(environmentNumber("TAVEL_SOAK_ROUNDS", 5));
        const quint32 seed = quint32(environmentNumber("TAVEL_SOAK_SEED", 20261206));
        m_dice.seed(seed);
        qInfo("soak: %lld bytes, %d rounds, seed %u", m_totalBytes, m_rounds, seed);
        // Qt's once-only resources (fonts, the platform's) are taken first, so
        // that the counts below see only what a session leaves.
        {
            MainWindowFixture warmUp;
        }
        const QStringList fdsBefore = openFileDescriptors();
        {
            MainWindowFixture fixture;
            m_f = &fixture;
            QCOMPARE(fixture.start, MDITavel::StartOutcome::Running);
            settings().Command3->click();
            QVERIFY(comm().PortOpen());
            QVERIFY2(noUnexpectedMessage(), qPrintable(m_failure));
            const qsizetype fdsConnected = openFileDescriptors().size();
            startSegments();

            // The rounds are spread evenly over the stream.
            const auto due = [this](int done, int offset) {
                return done < m_rounds
                    && m_streamed * 3 * m_rounds >= m_totalBytes * (3 * done + offset);
            };
            while (m_streamed < m_totalBytes) {
                QVERIFY2(oneStep(), qPrintable(m_failure));
                if (due(m_reconnects, 1))
                    QVERIFY2(reconnect(), qPrintable(m_failure));
                if (due(m_vanishings, 2))
                    QVERIFY2(vanishAndReturn(), qPrintable(m_failure));
            }
            QVERIFY2(drainAndVerify(), qPrintable(m_failure));
            QCOMPARE(m_reconnects, m_rounds);
            QCOMPARE(m_vanishings, m_rounds);
            // The device's pty has another number after each return: compare
            // counts. What a return leaves for deferred deletion (the wait's
            // watch on the device folder) may take a turn of the event loop
            // on a busy machine.
            QTRY_COMPARE(openFileDescriptors().size(), fdsConnected);

            // A timer or a notifier firing in a loop would show as tens of
            // milliseconds; a blinking caret costs a fraction of one.
            const double connectedIdle = idleSecondCpuMs();
            m_f->com1.closeMaster();
            QTRY_VERIFY(!comm().PortOpen());
            const double lostIdle = idleSecondCpuMs();
            qInfo("soak: idle second %.2f ms CPU connected, %.2f ms after the device vanished",
                connectedIdle, lostIdle);
            QVERIFY2(connectedIdle < 20, "busy while connected and silent");
            QVERIFY2(lostIdle < 20, "busy after the device vanished");
            m_f = nullptr;
        }
        const QStringList fdsAfter = openFileDescriptors();
        QVERIFY2(fdsAfter == fdsBefore,
            qPrintable(fdsBefore.join(", ") + QStringLiteral("\nnow: ") + fdsAfter.join(", ")));
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
