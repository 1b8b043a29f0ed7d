#include "app/mditavel.h"
#include "ptydevice.h"
#include "recordingdialogs.h"
#include "serial/mscomm.h"
#include "serial/overrunwatch.h"
#include "settings/frmeinstellungen.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"

#include <QPushButton>
#include <QTemporaryDir>
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

} // namespace

class TestOverrun : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    PtyDevice m_com1;
    PtyDevice m_com2;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<MDITavel> m_window;
    FakeDriverComm *m_comm = nullptr;
    QList<int> m_events;

    QByteArray received() const
    {
        FrmEmpfang *window = m_window->empfang().loaded();
        return window ? window->log().bytes(0, window->log().size()) : QByteArray();
    }

    // Starts the main window on the fake port object and connects COM1.
    void start(std::optional<SerialErrorCounts> counts)
    {
        auto comm = std::make_unique<FakeDriverComm>();
        m_comm = comm.get();
        m_comm->counts = counts;
        QObject::connect(
            m_comm, &MSComm::OnComm, m_comm, [this] { m_events.append(m_comm->CommEvent()); });
        m_window = std::make_unique<MDITavel>(
            m_folder.filePath(QStringLiteral("tavel.cfg")), std::move(comm));
        QCOMPARE(m_window->MDIForm_Load(), MDITavel::StartOutcome::Running);
        FrmEinstellungen *settings = m_window->einstellungen().loaded();
        QVERIFY(settings);
        settings->Option1[0]->setChecked(true);
        settings->Command3->click();
        QVERIFY(m_comm->PortOpen());
        QVERIFY(m_dialogs->messages.isEmpty());
        m_events.clear();
    }

private Q_SLOTS:
    void init();
    void cleanup();

    // the counter logic
    void watchWithoutCountsSeesNothing();
    void unchangedCountsAreNoLoss();
    void growingCountIsLoss_data();
    void growingCountIsLoss();
    void failedReadingEndsTheWatch();
    void pseudoTerminalKeepsNoCounts();

    // the main window's handling
    void overrunShowsDatenverlustAndReadsNothing();
    void overrunFoundWithDataIsToldBeforeTheData();
    void overrunFoundOnQuietLineIsToldByThePoll();
    void lossDuringTheBoxIsToldOnceAfterIt();
    void driverThatStopsCountingEndsTheWatchQuietly();
    void pseudoTerminalNeverRaisesOverrun();
};

void TestOverrun::init()
{
    QFile::remove(m_folder.filePath(QStringLiteral("tavel.cfg")));
    qputenv("TAVEL_COM1", m_com1.slavePath().toLocal8Bit());
    qputenv("TAVEL_COM2", m_com2.slavePath().toLocal8Bit());
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_events.clear();
}

void TestOverrun::cleanup()
{
    if (m_window)
        m_window->close();
    m_window.reset();
    m_comm = nullptr;
    m_dialogs.reset();
    m_com1.readFor(20);
}

void TestOverrun::watchWithoutCountsSeesNothing()
{
    OverrunWatch watch;
    watch.start(std::nullopt);
    QVERIFY(!watch.isWatching());
    QVERIFY(!watch.update(SerialErrorCounts { 5, 5 }));
    QVERIFY(!watch.isWatching());
}

void TestOverrun::unchangedCountsAreNoLoss()
{
    OverrunWatch watch;
    // Losses from before the opening are nobody's business.
    watch.start(SerialErrorCounts { 7, 3 });
    QVERIFY(watch.isWatching());
    QVERIFY(!watch.update(SerialErrorCounts { 7, 3 }));
    QVERIFY(!watch.update(SerialErrorCounts { 7, 3 }));
}

void TestOverrun::growingCountIsLoss_data()
{
    QTest::addColumn<SerialErrorCounts>("before");
    QTest::addColumn<SerialErrorCounts>("after");
    QTest::newRow("overrun") << SerialErrorCounts { 0, 0 } << SerialErrorCounts { 1, 0 };
    QTest::newRow("buffer overrun") << SerialErrorCounts { 4, 9 } << SerialErrorCounts { 4, 12 };
    QTest::newRow("both") << SerialErrorCounts { 1, 1 } << SerialErrorCounts { 2, 2 };
    QTest::newRow("wrapped") << SerialErrorCounts { 0xFFFFFFFFu, 0 } << SerialErrorCounts { 0, 0 };
}

void TestOverrun::growingCountIsLoss()
{
    QFETCH(SerialErrorCounts, before);
    QFETCH(SerialErrorCounts, after);
    OverrunWatch watch;
    watch.start(before);
    QVERIFY(watch.update(after));
    // Told once: the next look starts from the new counts.
    QVERIFY(!watch.update(after));
}

void TestOverrun::failedReadingEndsTheWatch()
{
    OverrunWatch watch;
    watch.start(SerialErrorCounts {});
    QVERIFY(!watch.update(std::nullopt));
    QVERIFY(!watch.isWatching());
    QVERIFY(!watch.update(SerialErrorCounts { 1, 1 }));
}

void TestOverrun::pseudoTerminalKeepsNoCounts()
{
    const int fd = ::open(QFile::encodeName(m_com1.slavePath()).constData(),
        O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(fd >= 0);
    QVERIFY(!OverrunWatch::readCounts(fd));
    ::close(fd);
    QVERIFY(!OverrunWatch::readCounts(-1));
}

void TestOverrun::overrunShowsDatenverlustAndReadsNothing()
{
    start(std::nullopt);
    QVERIFY(m_com1.write("AB"));
    QTRY_COMPARE(received(), QByteArray("AB"));

    // While the box is up, more bytes come in: neither read nor shown by the
    // overrun event, they wait for the next receive event.
    QByteArray shownDuringBox;
    m_dialogs->onMessage = [&](const RecordingDialogs::Box &) {
        QVERIFY(m_com1.write("CD"));
        QTest::qWait(200);
        shownDuringBox = received();
    };
    m_comm->raiseCommEvent(MSComm::comEventOverrun);

    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages[0].text, kDataLost);
    QCOMPARE(m_dialogs->messages[0].title, QStringLiteral("Tavel"));
    QCOMPARE(shownDuringBox, QByteArray("AB"));
    QTRY_COMPARE(received(), QByteArray("ABCD"));
    QCOMPARE(m_dialogs->messages.size(), 1);
}

void TestOverrun::overrunFoundWithDataIsToldBeforeTheData()
{
    start(SerialErrorCounts {});
    QVERIFY(m_com1.write("x"));
    QTRY_COMPARE(received(), QByteArray("x"));
    QCOMPARE(m_events, QList<int> { MSComm::comEvReceive });
    QVERIFY(m_dialogs->messages.isEmpty());

    m_events.clear();
    m_comm->counts = SerialErrorCounts { 1, 0 };
    QVERIFY(m_com1.write("yz"));
    QTRY_COMPARE(received(), QByteArray("xyz"));
    QCOMPARE(m_events.first(), MSComm::comEventOverrun);
    QCOMPARE(m_events.count(MSComm::comEventOverrun), 1);
    QCOMPARE(m_dialogs->messageTexts(), QStringList { kDataLost });
}

void TestOverrun::overrunFoundOnQuietLineIsToldByThePoll()
{
    start(SerialErrorCounts { 2, 2 });
    QTest::qWait(1300);
    QVERIFY(m_dialogs->messages.isEmpty());

    m_comm->counts = SerialErrorCounts { 2, 3 };
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->messages.size(), 1, 3000);
    QCOMPARE(m_dialogs->messages[0].text, kDataLost);
    QCOMPARE(m_dialogs->messages[0].title, QStringLiteral("Tavel"));
    QTest::qWait(1300);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(received(), QByteArray());
}

void TestOverrun::lossDuringTheBoxIsToldOnceAfterIt()
{
    start(SerialErrorCounts {});
    int open = 0;
    int mostOpen = 0;
    m_dialogs->onMessage = [&](const RecordingDialogs::Box &) {
        ++open;
        mostOpen = std::max(mostOpen, open);
        if (m_dialogs->messages.size() == 1) {
            // Another loss while the first box is still up.
            m_comm->counts = SerialErrorCounts { 2, 0 };
            QTest::qWait(1500);
        }
        --open;
    };
    m_comm->counts = SerialErrorCounts { 1, 0 };
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->messages.size(), 2, 5000);
    QCOMPARE(mostOpen, 1);
    QTest::qWait(1300);
    QCOMPARE(m_dialogs->messages.size(), 2);
}

void TestOverrun::driverThatStopsCountingEndsTheWatchQuietly()
{
    start(SerialErrorCounts {});
    m_comm->counts = std::nullopt;
    QVERIFY(m_com1.write("a"));
    QTRY_COMPARE(received(), QByteArray("a"));
    m_comm->counts = SerialErrorCounts { 9, 9 };
    QVERIFY(m_com1.write("b"));
    QTRY_COMPARE(received(), QByteArray("ab"));
    QTest::qWait(1300);
    QVERIFY(m_dialogs->messages.isEmpty());
    QVERIFY(!m_events.contains(MSComm::comEventOverrun));
}

void TestOverrun::pseudoTerminalNeverRaisesOverrun()
{
    m_window = std::make_unique<MDITavel>(m_folder.filePath(QStringLiteral("tavel.cfg")));
    QCOMPARE(m_window->MDIForm_Load(), MDITavel::StartOutcome::Running);
    m_window->einstellungen().loaded()->Command3->click();
    QVERIFY(m_window->MSComm1().PortOpen());
    for (int i = 0; i < 20; ++i)
        QVERIFY(m_com1.write(QByteArray(512, char('a' + i))));
    QTRY_COMPARE(received().size(), 20 * 512);
    QVERIFY(m_dialogs->messages.isEmpty());
}

QTEST_MAIN(TestOverrun)
#include "tst_overrun.moc"
