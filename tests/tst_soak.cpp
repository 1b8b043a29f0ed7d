#include "app/statusbar.h"
#include "automation/frmautomat.h"
#include "mainwindowfixture.h"
#include "settings/frmeinstellungen.h"
#include "text/cp1252.h"
#include "text/hexnotation.h"
#include "traffic/trafficlog.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frmsendefenster.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>
#include <dirent.h>
#include <functional>
#include <time.h>
#include <unistd.h>

// A long session against a device that streams random bytes while the user
// sends, clears, hides and shows windows, disconnects and reconnects, and the
// device vanishes and comes back. Sizes come from the environment:
// TAVEL_SOAK_BYTES (what the device streams), TAVEL_SOAK_ROUNDS (how many
// reconnects and how many vanishings), TAVEL_SOAK_SEED (to repeat a run).

namespace {

const QString kNotConnected = QStringLiteral("Es besteht keine serielle Verbindung.");
// Piece size for hashing and regenerating the stream; a multiple of four, so
// that the stream's words fall the same way whatever the chunking.
constexpr qint64 kPiece = 64 * 1024;

qint64 environmentNumber(const char *name, qint64 fallback)
{
    bool ok = false;
    const qint64 value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok && value > 0 ? value : fallback;
}

// The next `size` bytes of a stream; size is a multiple of four, so the
// stream is the same whatever size its chunks have.
QByteArray nextBytes(QRandomGenerator &stream, qint64 size)
{
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    stream.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// A payload the entries can hold: codes 1 to 255 (a text box holds no 0).
QByteArray payload(QRandomGenerator &dice, int maxLength)
{
    QByteArray bytes(int(dice.bounded(1, maxLength + 1)), Qt::Uninitialized);
    for (char &c : bytes)
        c = char(dice.bounded(1, 256));
    return bytes;
}

// "fd -> target" for every open descriptor but the one reading the list.
QStringList openFileDescriptors()
{
    QStringList list;
    DIR *dir = ::opendir("/proc/self/fd");
    if (!dir)
        return { QStringLiteral("/proc/self/fd unreadable") };
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || name.toInt() == ::dirfd(dir))
            continue;
        char target[512] = {};
        const ssize_t n
            = ::readlink(("/proc/self/fd/" + name).constData(), target, sizeof target - 1);
        list.append(QString::fromLatin1(name) + QStringLiteral(" -> ")
            + QString::fromLocal8Bit(target, n > 0 ? n : 0));
    }
    ::closedir(dir);
    list.sort();
    return list;
}

// CPU time of the whole process: precise from the clock, coarse (clock ticks
// of user and system time) from /proc/self/stat.
struct CpuTime
{
    qint64 nanoseconds = 0;
    qint64 ticks = 0;
};

CpuTime cpuTime()
{
    CpuTime t;
    timespec now = {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    t.nanoseconds = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (stat.open(QIODevice::ReadOnly)) {
        // The fields after the command name in parentheses start with the
        // third, the state; utime and stime are the 14th and 15th.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            t.ticks = fields[11].toLongLong() + fields[12].toLongLong();
    }
    return t;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private:
    qint64 m_totalBytes = 0;
    int m_rounds = 0;
    quint32 m_seed = 0;
    QRandomGenerator m_dice;
    MainWindowFixture *m_f = nullptr;
    QString m_failure;
    qsizetype m_expectedMessages = 0;

    // Device to Tavel, since the last connect or the last time the
    // received-data window was emptied.
    quint32 m_rxSegment = 0;
    QRandomGenerator m_rxStream;
    QCryptographicHash m_rxHash { QCryptographicHash::Sha1 };
    qint64 m_rxWritten = 0;
    qint64 m_rxLogStart = 0;
    // Tavel to device, since the last connect.
    QByteArray m_txExpected;
    QByteArray m_txArrived;

    // Figures for the summary.
    qint64 m_streamed = 0;
    qint64 m_shownExactly = 0;
    qint64 m_lostInFlight = 0;
    qint64 m_sentByTavel = 0;
    int m_segments = 0;
    int m_reconnects = 0;
    int m_vanishings = 0;
    int m_sends = 0;
    int m_clears = 0;
    int m_toggles = 0;

    FrmEmpfang *received() const { return m_f->window->empfang().loaded(); }
    MSComm &comm() const { return m_f->window->MSComm1(); }
    FrmEinstellungen &settings() const { return m_f->window->einstellungen().get(); }

    quint32 segmentSeed(quint32 segment) const { return m_seed * 7919u + segment; }

    bool fail(const QString &why)
    {
        m_failure = why;
        return false;
    }

    // Runs the event loop (and collects what Tavel sent) until done() or the
    // time runs out.
    bool waitUntil(const std::function<bool()> &done, int timeoutMs)
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

    qint64 shownInSegment() const
    {
        return received() ? received()->log().size() - m_rxLogStart : 0;
    }

    void startSegments()
    {
        m_rxSegment++;
        m_rxStream.seed(segmentSeed(m_rxSegment));
        m_rxHash.reset();
        m_rxWritten = 0;
        m_rxLogStart = received() ? received()->log().size() : 0;
        m_txExpected.clear();
        m_txArrived.clear();
    }

    // The received-data window was emptied: its log starts a new segment.
    void startReceiveSegment()
    {
        const QByteArray tx = m_txExpected;
        const QByteArray arrived = m_txArrived;
        startSegments();
        m_txExpected = tx;
        m_txArrived = arrived;
    }

    bool deviceSends(qint64 size)
    {
        const QByteArray bytes = nextBytes(m_rxStream, size);
        if (!m_f->com1.write(bytes, 30000))
            return fail(QStringLiteral("the device could not write: nobody reads the line"));
        m_rxHash.addData(bytes);
        m_rxWritten += size;
        m_streamed += size;
        m_txArrived += m_f->com1.readFor(0);
        return true;
    }

    // Waits until Tavel shows everything the device wrote and the device has
    // everything Tavel sent.
    bool drain()
    {
        if (!waitUntil([this] { return shownInSegment() >= m_rxWritten; }, 60000))
            return fail(QStringLiteral("received-data window shows %1 of %2 bytes")
                            .arg(shownInSegment())
                            .arg(m_rxWritten));
        if (!waitUntil([this] { return m_txArrived.size() >= m_txExpected.size(); }, 60000))
            return fail(QStringLiteral("device got %1 of %2 bytes")
                            .arg(m_txArrived.size())
                            .arg(m_txExpected.size()));
        return true;
    }

    // The received segment: all of it when nothing can have been lost,
    // otherwise a prefix (the device vanished with bytes on their way).
    bool verifyReceived(bool whole)
    {
        ++m_segments;
        const qint64 shown = shownInSegment();
        if (shown > m_rxWritten || (whole && shown != m_rxWritten))
            return fail(QStringLiteral("segment %1: %2 bytes shown, %3 sent")
                            .arg(m_rxSegment)
                            .arg(shown)
                            .arg(m_rxWritten));
        QCryptographicHash shownHash(QCryptographicHash::Sha1);
        const TrafficLog *log = shown > 0 ? &received()->log() : nullptr;
        for (qint64 done = 0; done < shown;) {
            const QByteArrayView piece = log->contiguousAt(m_rxLogStart + done);
            const qint64 n = qMin<qint64>(piece.size(), shown - done);
            shownHash.addData(piece.first(n));
            done += n;
        }
        QByteArray sentHash;
        if (shown == m_rxWritten) {
            sentHash = m_rxHash.result();
        } else {
            // Only the bytes that made it are compared: regenerate them.
            QRandomGenerator again(segmentSeed(m_rxSegment));
            QCryptographicHash prefix(QCryptographicHash::Sha1);
            for (qint64 done = 0; done < shown; done += kPiece)
                prefix.addData(nextBytes(again, kPiece).first(qMin(kPiece, shown - done)));
            sentHash = prefix.result();
            m_lostInFlight += m_rxWritten - shown;
        }
        if (shownHash.result() != sentHash)
            return fail(QStringLiteral("segment %1: the %2 bytes shown differ from those sent")
                            .arg(m_rxSegment)
                            .arg(shown));
        m_shownExactly += shown;
        return true;
    }

    bool verifySent(bool whole)
    {
        const bool ok = whole ? m_txArrived == m_txExpected : m_txExpected.startsWith(m_txArrived);
        if (!ok)
            return fail(
                QStringLiteral("device got %1 bytes not matching the %2 Tavel sent (sha1 %3 "
                               "vs %4)")
                    .arg(m_txArrived.size())
                    .arg(m_txExpected.size())
                    .arg(QString::fromLatin1(
                             QCryptographicHash::hash(m_txArrived, QCryptographicHash::Sha1)
                                 .toHex()),
                        QString::fromLatin1(
                            QCryptographicHash::hash(m_txExpected, QCryptographicHash::Sha1)
                                .toHex())));
        m_sentByTavel += m_txArrived.size();
        return true;
    }

    bool drainAndVerify() { return drain() && verifyReceived(true) && verifySent(true); }

    bool sendFromInputWindow()
    {
        FrmEingabe &input = m_f->window->eingabe().get();
        const QByteArray bytes = payload(m_dice, 120);
        if (m_dice.bounded(3) == 0) {
            input.OptionHex->setChecked(true);
            input.Text2->setText(HexNotation::write(bytes));
        } else {
            input.OptionText->setChecked(true);
            input.Text1->setText(Cp1252::toUnicode(bytes));
            if (Cp1252::fromUnicode(input.Text1->text()) != bytes)
                return fail(QStringLiteral("the input window's text entry changed its payload"));
        }
        input.Command2->click();
        m_txExpected += bytes;
        ++m_sends;
        return noUnexpectedMessage();
    }

    // A ticked box empties the received-data window in the same action, so
    // what it held is checked first.
    bool sendFromAutomationButton()
    {
        frmAutomat &automat = m_f->window->automat().get();
        const int n = int(m_dice.bounded(frmAutomat::kRows));
        const QByteArray bytes = payload(m_dice, 60);
        const bool clears = m_dice.bounded(4) == 0;
        automat.txtAutomat[n]->setText(Cp1252::toUnicode(bytes));
        automat.chkAutomat[n]->setChecked(clears);
        if (Cp1252::fromUnicode(automat.txtAutomat[n]->text()) != bytes)
            return fail(QStringLiteral("payload field %1 changed its payload").arg(n));
        if (clears && !drainAndVerify())
            return false;
        automat.CmdAutomat[n]->click();
        m_txExpected += bytes;
        ++m_sends;
        if (clears) {
            ++m_clears;
            startReceiveSegment();
        }
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
        ++m_clears;
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
        switch (m_dice.bounded(5)) {
        case 0:
            toggle(w.eingabe());
            break;
        case 1:
            toggle(w.sendefenster());
            break;
        case 2:
            toggle(w.empfang());
            break;
        case 3:
            toggle(w.einstellungen());
            break;
        default:
            toggle(w.automat());
            break;
        }
    }

    bool reconnect()
    {
        if (!drainAndVerify())
            return false;
        settings().Command2->click();
        if (comm().PortOpen())
            return fail(QStringLiteral("still connected after Command2"));
        settings().Command3->click();
        if (!comm().PortOpen())
            return fail(QStringLiteral("not connected after Command3"));
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
        if (!waitUntil(
                [this, waiting] { return m_f->window->StatusBar1().panelText(2) == waiting; },
                10000))
            return fail(QStringLiteral("not waiting after the device vanished"));
        if (comm().PortOpen())
            return fail(QStringLiteral("vanished device still open"));
        // What the port still held when the device went comes with a later event.
        QTest::qWait(20);
        if (!verifyReceived(drained) || !verifySent(drained) || !noUnexpectedMessage())
            return false;

        // Sending while the device is away is refused with the usual box.
        m_f->window->eingabe().get().Text1->setText(QStringLiteral("x"));
        m_f->window->eingabe().get().OptionText->setChecked(true);
        m_f->window->eingabe().get().Command2->click();
        if (m_f->dialogs.messageTexts().value(m_expectedMessages) != kNotConnected)
            return fail(QStringLiteral("sending without device: ")
                + m_f->dialogs.messageTexts().mid(m_expectedMessages).join('|'));
        ++m_expectedMessages;

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
        const qint64 left = m_totalBytes - m_streamed;
        const qint64 size
            = m_dice.bounded(5) == 0 ? 4 * m_dice.bounded(1, 65) : 4 * m_dice.bounded(256, 4097);
        if (!deviceSends(qMax<qint64>(4, qMin(size, (left + 3) / 4 * 4))))
            return false;
        const quint32 roll = m_dice.bounded(1000);
        if (roll < 60)
            return sendFromInputWindow();
        if (roll < 100)
            return sendFromAutomationButton();
        if (roll < 115)
            return clearReceivedWindow(false);
        if (roll < 118)
            return clearReceivedWindow(true);
        if (roll < 125) {
            m_f->window->sendefenster().get().Command2->click();
            return true;
        }
        if (roll < 160) {
            toggleSomeWindow();
            ++m_toggles;
        }
        if (roll < 162)
            m_f->window->automat().unload();
        return noUnexpectedMessage();
    }

    // CPU spent over one second in which nothing happens.
    CpuTime idleSecond()
    {
        QTest::qWait(200);
        const CpuTime before = cpuTime();
        QTest::qWait(1000);
        const CpuTime after = cpuTime();
        return { after.nanoseconds - before.nanoseconds, after.ticks - before.ticks };
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_totalBytes = environmentNumber("TAVEL_SOAK_BYTES", 8 * 1024 * 1024);
        m_rounds = int(environmentNumber("TAVEL_SOAK_ROUNDS", 5));
        m_seed = quint32(environmentNumber("TAVEL_SOAK_SEED", 20261206));
        m_dice.seed(m_seed);
        qInfo("soak: %lld bytes, %d rounds, seed %u", m_totalBytes, m_rounds, m_seed);
    }

    void longSessionLosesNothingLeaksNothingAndEndsIdle()
    {
        // Qt's once-only resources (fonts, the platform's) are taken first, so
        // that the counts below see only what a session leaves.
        {
            MainWindowFixture warmUp;
        }
        const QStringList fdsBefore = openFileDescriptors();
        QElapsedTimer timer;
        timer.start();
        {
            MainWindowFixture fixture;
            m_f = &fixture;
            QCOMPARE(fixture.start, MDITavel::StartOutcome::Running);
            settings().Command3->click();
            QVERIFY(comm().PortOpen());
            QVERIFY2(noUnexpectedMessage(), qPrintable(m_failure));
            const QStringList fdsConnected = openFileDescriptors();
            startSegments();

            int reconnects = 0;
            int vanishings = 0;
            while (m_streamed < m_totalBytes) {
                QVERIFY2(oneStep(), qPrintable(m_failure));
                // The rounds are spread evenly over the stream.
                if (reconnects < m_rounds
                    && m_streamed * 3 * m_rounds >= m_totalBytes * (3 * reconnects + 1)) {
                    QVERIFY2(reconnect(), qPrintable(m_failure));
                    ++reconnects;
                }
                if (vanishings < m_rounds
                    && m_streamed * 3 * m_rounds >= m_totalBytes * (3 * vanishings + 2)) {
                    QVERIFY2(vanishAndReturn(), qPrintable(m_failure));
                    ++vanishings;
                }
            }
            QVERIFY2(drainAndVerify(), qPrintable(m_failure));
            QCOMPARE(m_reconnects, m_rounds);
            QCOMPARE(m_vanishings, m_rounds);
            QCOMPARE(m_shownExactly + m_lostInFlight, m_streamed);
            const qint64 soakMs = timer.elapsed();

            // The device's pty has another number after each return: compare counts.
            const QStringList fdsEnd = openFileDescriptors();
            QVERIFY2(fdsEnd.size() == fdsConnected.size(),
                qPrintable(
                    fdsConnected.join(", ") + QStringLiteral("\nnow: ") + fdsEnd.join(", ")));
            const CpuTime connectedIdle = idleSecond();
            m_f->com1.closeMaster();
            QTRY_VERIFY(!comm().PortOpen());
            const CpuTime lostIdle = idleSecond();
            qInfo("soak: %lld bytes streamed in %lld ms, %lld shown and checked, %lld lost in "
                  "flight at a vanishing, %lld sent by Tavel in %d sends, %d segments, %d clears, "
                  "%d windows hidden or shown, %d reconnects, %d vanishings",
                m_streamed, soakMs, m_shownExactly, m_lostInFlight, m_sentByTavel, m_sends,
                m_segments, m_clears, m_toggles, m_reconnects, m_vanishings);
            qInfo("soak: idle second connected %.2f ms CPU (%lld ticks), after the device "
                  "vanished %.2f ms (%lld ticks)",
                connectedIdle.nanoseconds / 1e6, connectedIdle.ticks, lostIdle.nanoseconds / 1e6,
                lostIdle.ticks);
            // A timer or a notifier firing in a loop would show as tens of
            // milliseconds; a blinking caret costs a fraction of one.
            QVERIFY2(connectedIdle.nanoseconds < 20'000'000, "busy while connected and silent");
            QVERIFY2(lostIdle.nanoseconds < 20'000'000, "busy after the device vanished");
            m_f = nullptr;
        }
        const QStringList fdsAfter = openFileDescriptors();
        qInfo("soak: %lld file descriptors before, %lld after", qint64(fdsBefore.size()),
            qint64(fdsAfter.size()));
        QVERIFY2(fdsAfter == fdsBefore,
            qPrintable(fdsBefore.join(", ") + QStringLiteral("\nnow: ") + fdsAfter.join(", ")));
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
