#include "mainwindowfixture.h"
#include "serial/mscomm.h"
#include "serial/overrunwatch.h"
#include "settings/frmeinstellungen.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"

#include <QPushButton>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kDataLost = QStringLiteral("Datenverlust");

// Stands in for a UART whose driver counts lost bytes, which a
// pseudo-terminal does not; it can also raise an overrun outright.
class FakeDriverComm : public MSComm
{
public:
    using MSComm::raiseCommEvent;

    std::optional<SerialErrorCounts> counts = SerialErrorCounts {};

protected:
    std::optional<SerialErrorCounts> driverErrorCounts() const override { return counts; }
};

// A reading of the driver's counts: {} when it gave none.
std::optional<SerialErrorCounts> reading(const QList<quint32> &counts)
{
    if (counts.isEmpty())
        return std::nullopt;
    return SerialErrorCounts { counts[0], counts[1] };
}

} // namespace

class TestOverrun : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    FakeDriverComm *m_comm = nullptr;
    QList<int> m_events;

    QByteArray received() const
    {
        FrmEmpfang *window = m_f->window->empfang().loaded();
        return window ? window->log().bytes(0, window->log().size()) : QByteArray();
    }

    // The main window on the fake port object, COM1 connected.
    void start(std::optional<SerialErrorCounts> counts)
    {
        auto comm = std::make_unique<FakeDriverComm>();
        m_comm = comm.get();
        m_comm->counts = counts;
        m_f = std::make_unique<MainWindowFixture>(std::move(comm));
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_f->window->einstellungen().loaded()->Command3->click();
        QVERIFY(m_comm->PortOpen());
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QObject::connect(
            m_comm, &MSComm::OnComm, m_comm, [this] { m_events.append(m_comm->CommEvent()); });
    }

private Q_SLOTS:
    void init() { m_events.clear(); }
    void cleanup() { m_f.reset(); }

    // Only a change from the last look is a loss, told once; without counts
    // at the opening, or after a failed reading, nothing is watched.
    void watchTellsEachChangeOnce_data()
    {
        QTest::addColumn<QList<QList<quint32>>>("readings");
        QTest::addColumn<QList<bool>>("told");
        QTest::addColumn<bool>("watching");
        using R = QList<QList<quint32>>;
        QTest::newRow("no counts at opening") << R { {}, { 5, 5 } } << QList { false } << false;
        QTest::newRow("losses before the opening")
            << R { { 7, 3 }, { 7, 3 }, { 7, 3 } } << QList { false, false } << true;
        QTest::newRow("overrun") << R { { 0, 0 }, { 1, 0 }, { 1, 0 } } << QList { true, false }
                                 << true;
        QTest::newRow("buffer overrun")
            << R { { 4, 9 }, { 4, 12 }, { 4, 12 } } << QList { true, false } << true;
        QTest::newRow("wrapped") << R { { 0xFFFFFFFFu, 0 }, { 0, 0 } } << QList { true } << true;
        QTest::newRow("failed reading ends the watch")
            << R { { 0, 0 }, {}, { 1, 1 } } << QList { false, false } << false;
    }
    void watchTellsEachChangeOnce()
    {
        QFETCH(QList<QList<quint32>>, readings);
        QFETCH(QList<bool>, told);
        QFETCH(bool, watching);
        OverrunWatch watch;
        watch.start(reading(readings.takeFirst()));
        QList<bool> results;
        for (const QList<quint32> &counts : readings)
            results << watch.update(reading(counts));
        QCOMPARE(results, told);
        QCOMPARE(watch.isWatching(), watching);
    }

    void pseudoTerminalKeepsNoCounts()
    {
        PtyDevice device;
        const int fd = ::open(QFile::encodeName(device.slavePath()).constData(),
            O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(fd >= 0);
        QVERIFY(!OverrunWatch::readCounts(fd));
        ::close(fd);
        QVERIFY(!OverrunWatch::readCounts(-1));
    }

    // Bytes that come in while the box is up are neither read nor shown by
    // the overrun event: they wait for the next receive event.
    void overrunShowsDatenverlustAndReadsNothing()
    {
        start(std::nullopt);
        QVERIFY(m_f->com1.write("AB"));
        QTRY_COMPARE(received(), QByteArray("AB"));
        QByteArray shownDuringBox;
        m_f->dialogs.onMessage = [&](const RecordingDialogs::Box &) {
            QVERIFY(m_f->com1.write("CD"));
            QTest::qWait(200);
            shownDuringBox = received();
        };
        m_comm->raiseCommEvent(MSComm::comEventOverrun);
        QCOMPARE(m_f->dialogs.messageTexts(), QStringList { kDataLost });
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        QCOMPARE(shownDuringBox, QByteArray("AB"));
        QTRY_COMPARE(received(), QByteArray("ABCD"));
        QCOMPARE(m_f->dialogs.messages.size(), 1);
    }

    void overrunFoundWithDataIsToldBeforeTheData()
    {
        start(SerialErrorCounts {});
        QVERIFY(m_f->com1.write("x"));
        QTRY_COMPARE(received(), QByteArray("x"));
        QCOMPARE(m_events, QList<int> { MSComm::comEvReceive });
        m_events.clear();
        m_comm->counts = SerialErrorCounts { 1, 0 };
        QVERIFY(m_f->com1.write("yz"));
        QTRY_COMPARE(received(), QByteArray("xyz"));
        QCOMPARE(m_events.first(), MSComm::comEventOverrun);
        QCOMPARE(m_events.count(MSComm::comEventOverrun), 1);
        QCOMPARE(m_f->dialogs.messageTexts(), QStringList { kDataLost });
    }

    void overrunFoundOnQuietLineIsToldByThePoll()
    {
        start(SerialErrorCounts { 2, 2 });
        QTest::qWait(1300);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        m_comm->counts = SerialErrorCounts { 2, 3 };
        QTRY_COMPARE_WITH_TIMEOUT(m_f->dialogs.messageTexts(), QStringList { kDataLost }, 5000);
        QTest::qWait(1300);
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(received(), QByteArray());
    }

    // A second loss while the first box is up gets a box of its own after it.
    void lossDuringTheBoxIsToldOnceAfterIt()
    {
        start(SerialErrorCounts {});
        int open = 0;
        int mostOpen = 0;
        m_f->dialogs.onMessage = [&](const RecordingDialogs::Box &) {
            mostOpen = std::max(mostOpen, ++open);
            if (m_f->dialogs.messages.size() == 1) {
                m_comm->counts = SerialErrorCounts { 2, 0 };
                QTest::qWait(1500);
            }
            --open;
        };
        // Found with data, so that the poll runs while the box is up.
        m_comm->counts = SerialErrorCounts { 1, 0 };
        QVERIFY(m_f->com1.write("x"));
        QTRY_COMPARE_WITH_TIMEOUT(m_f->dialogs.messages.size(), 2, 5000);
        QCOMPARE(mostOpen, 1);
        QTest::qWait(1300);
        QCOMPARE(m_f->dialogs.messages.size(), 2);
    }

    void driverThatStopsCountingEndsTheWatchQuietly()
    {
        start(SerialErrorCounts {});
        m_comm->counts = std::nullopt;
        QVERIFY(m_f->com1.write("a"));
        QTRY_COMPARE(received(), QByteArray("a"));
        m_comm->counts = SerialErrorCounts { 9, 9 };
        QVERIFY(m_f->com1.write("b"));
        QTRY_COMPARE(received(), QByteArray("ab"));
        QTest::qWait(1300);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(!m_events.contains(MSComm::comEventOverrun));
    }
};

QTEST_MAIN(TestOverrun)
#include "tst_overrun.moc"
