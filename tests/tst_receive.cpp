#include "base/twips.h"
#include "mainwindowfixture.h"
#include "serial/mscomm.h"
#include "serial/overrunwatch.h"
#include "settings/frmeinstellungen.h"
#include "traffic/trafficexport.h"
#include "traffic/trafficfinder.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "windows/searchdialog.h"
#include "windows/trafficview/trafficview.h"
#include "windows/windowsearch.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolTip>
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

// Bytes from a pty device through the real main window into the
// received-data window, which shows them as text (byte 0 as ".") and hex;
// and the loss of bytes that a UART's driver counts.
class TestReceive : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    FakeDriverComm *m_comm = nullptr;
    QList<int> m_events;

    FrmEmpfang *received() const { return m_f->window->empfang().loaded(); }
    QByteArray shown() const
    {
        return received() ? received()->log().bytes(0, received()->log().size()) : QByteArray();
    }

    bool waitForReceived(qint64 count)
    {
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && shown().size() < count)
            QTest::qWait(5);
        return shown().size() == count;
    }

    // The main window with COM1 connected, and the events its port raises.
    void start(std::unique_ptr<MSComm> comm = {})
    {
        m_f = std::make_unique<MainWindowFixture>(std::move(comm));
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_f->window->state().WindowLeft[2] = 1500;
        m_f->window->state().WindowTop[2] = 750;
        m_f->window->einstellungen().loaded()->Command3->click();
        QVERIFY(m_f->window->MSComm1().PortOpen());
        QVERIFY(m_f->dialogs.messages.isEmpty());
        MSComm *port = &m_f->window->MSComm1();
        QObject::connect(
            port, &MSComm::OnComm, port, [this, port] { m_events.append(port->CommEvent()); });
    }

    void startOnDriverCounting(std::optional<SerialErrorCounts> counts)
    {
        auto comm = std::make_unique<FakeDriverComm>();
        comm->counts = counts;
        m_comm = comm.get();
        start(std::move(comm));
    }

private Q_SLOTS:
    void init() { m_events.clear(); }
    void cleanup() { m_f.reset(); }

    // How bytes are drawn is the rendering's (tst_trafficlog); here, that
    // the window shows what arrives, in order, with byte 0 as ".".
    void bytesShowAsTextAndHex_data()
    {
        QTest::addColumn<QByteArrayList>("writes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero, line end, FF")
            << QByteArrayList { QByteArray("\0A\r\n\xFF", 5) } << QStringLiteral(".A\r\nÿ");
        QTest::newRow("reads append with nothing between")
            << QByteArrayList { "AB", "CD" } << QStringLiteral("ABCD");
        QTest::newRow("a whole receive buffer")
            << QByteArrayList { QByteArray(1024, 'q') } << QString(1024, QLatin1Char('q'));
    }
    void bytesShowAsTextAndHex()
    {
        QFETCH(QByteArrayList, writes);
        QFETCH(QString, text);
        start();
        const QByteArray bytes = writes.join();
        for (const QByteArray &piece : writes) {
            QVERIFY(m_f->com1.write(piece));
            QTest::qWait(20);
        }
        QVERIFY(waitForReceived(bytes.size()));
        QCOMPARE(received()->log().bytes(0, bytes.size()), bytes);
        QCOMPARE(received()->Text1->text(), text);
        QCOMPARE(received()->Text2->text(), QString::fromLatin1(bytes.toHex(' ').toUpper() + ' '));
        QCOMPARE(received()->Text1->cursorPosition(), bytes.size());
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // Loaded by the first data at its saved place; hidden, it keeps
    // receiving; "löschen" empties both views for good.
    void windowLoadsAtItsPlaceAndKeepsReceivingWhileHidden()
    {
        start();
        QVERIFY(!m_f->window->empfang().loaded());
        QVERIFY(m_f->com1.write("x"));
        QVERIFY(waitForReceived(1));
        QVERIFY(received()->frame()->isVisible());
        const int dpi = received()->frame()->logicalDpiX();
        QCOMPARE(received()->frame()->pos(),
            QPoint(Twips::toPixels(1500, dpi), Twips::toPixels(750, dpi)));
        received()->Command1->click();
        QVERIFY(m_f->com1.write("yz"));
        QVERIFY(waitForReceived(3));
        QVERIFY(!received()->frame()->isVisible());
        received()->Command2->click();
        QCOMPARE(received()->Text2->text(), QString());
        QVERIFY(m_f->com1.write("new"));
        QVERIFY(waitForReceived(3));
        QCOMPARE(received()->Text1->text(), QStringLiteral("new"));
        QCOMPARE(received()->Text2->text(), QStringLiteral("6E 65 77 "));
    }

    // The hex view beside the text view shows the end with it after a burst;
    // scrolled away by the user it stays there, and follows again once the
    // user is back at the end.
    void hexViewFollowsTheEndUnlessScrolledAway()
    {
        start();
        const QByteArray burst(1 << 20, 'h');
        QVERIFY(m_f->com1.write(burst));
        QVERIFY(waitForReceived(burst.size()));
        TrafficView *hex = received()->Text2;
        QVERIFY(hex->firstVisibleRow() > 0);
        QVERIFY(hex->showsEnd());

        QTest::keyClick(hex, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(hex->firstVisibleRow(), 0);
        QVERIFY(m_f->com1.write(QByteArray(4096, 'i')));
        QVERIFY(waitForReceived(burst.size() + 4096));
        QCOMPARE(hex->firstVisibleRow(), 0);
        QVERIFY(received()->Text1->showsEnd());

        QTest::keyClick(hex, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(m_f->com1.write(QByteArray(4096, 'j')));
        QVERIFY(waitForReceived(burst.size() + 8192));
        QVERIFY(hex->showsEnd());
        QCOMPARE(hex->text(hex->length() - 3, hex->length()), QStringLiteral("6A "));
    }

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
        startOnDriverCounting(std::nullopt);
        QVERIFY(m_f->com1.write("AB"));
        QTRY_COMPARE(shown(), QByteArray("AB"));
        QByteArray shownDuringBox;
        m_f->dialogs.onMessage = [&](const RecordingDialogs::Box &) {
            QVERIFY(m_f->com1.write("CD"));
            QTest::qWait(200);
            shownDuringBox = shown();
        };
        m_comm->raiseCommEvent(MSComm::comEventOverrun);
        QCOMPARE(m_f->dialogs.messageTexts(), QStringList { kDataLost });
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        QCOMPARE(shownDuringBox, QByteArray("AB"));
        QTRY_COMPARE(shown(), QByteArray("ABCD"));
        QCOMPARE(m_f->dialogs.messages.size(), 1);
    }

    void overrunFoundWithDataIsToldBeforeTheData()
    {
        startOnDriverCounting(SerialErrorCounts {});
        QVERIFY(m_f->com1.write("x"));
        QTRY_COMPARE(shown(), QByteArray("x"));
        QCOMPARE(m_events, QList<int> { MSComm::comEvReceive });
        m_events.clear();
        m_comm->counts = SerialErrorCounts { 1, 0 };
        QVERIFY(m_f->com1.write("yz"));
        QTRY_COMPARE(shown(), QByteArray("xyz"));
        QCOMPARE(m_events.first(), MSComm::comEventOverrun);
        QCOMPARE(m_events.count(MSComm::comEventOverrun), 1);
        QCOMPARE(m_f->dialogs.messageTexts(), QStringList { kDataLost });
    }

    void overrunFoundOnQuietLineIsToldByThePoll()
    {
        startOnDriverCounting(SerialErrorCounts { 2, 2 });
        QTest::qWait(1300);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        m_comm->counts = SerialErrorCounts { 2, 3 };
        QTRY_COMPARE_WITH_TIMEOUT(m_f->dialogs.messageTexts(), QStringList { kDataLost }, 5000);
        QTest::qWait(1300);
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(shown(), QByteArray());
    }

    // A second loss while the first box is up gets a box of its own after it.
    void lossDuringTheBoxIsToldOnceAfterIt()
    {
        startOnDriverCounting(SerialErrorCounts {});
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
        startOnDriverCounting(SerialErrorCounts {});
        m_comm->counts = std::nullopt;
        QVERIFY(m_f->com1.write("a"));
        QTRY_COMPARE(shown(), QByteArray("a"));
        m_comm->counts = SerialErrorCounts { 9, 9 };
        QVERIFY(m_f->com1.write("b"));
        QTRY_COMPARE(shown(), QByteArray("ab"));
        QTest::qWait(1300);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(!m_events.contains(MSComm::comEventOverrun));
    }

    // Over any byte of either view, counted from 1, also the line end; none
    // beyond the text.
    void hoveringAByteTellsWhenItArrived()
    {
        start();
        QVERIFY(m_f->com1.write("AB\r\nC"));
        QVERIFY(waitForReceived(5));
        TrafficView *text = received()->Text1;
        TrafficView *hex = received()->Text2;
        const auto at
            = [](TrafficView *view, qint64 position) { return view->cellRect(position).center(); };
        QCOMPARE(text->byteAt(at(text, 1)), 1);
        QCOMPARE(text->byteAt(at(text, 2)), 2);
        QCOMPARE(text->byteAt(at(text, 2) + QPoint(text->cellRect(0).width() * 2, 0)), -1);
        QCOMPARE(text->byteAt(at(text, 4)), 4);
        QCOMPARE(hex->byteAt(at(hex, 5)), 1);
        QCOMPARE(hex->byteAt(at(hex, 14)), 4);
        QCOMPARE(hex->byteAt(at(hex, 15)), -1);

        const QPoint point = at(hex, 4);
        QHelpEvent event(QEvent::ToolTip, point, hex->viewport()->mapToGlobal(point));
        QApplication::sendEvent(hex->viewport(), &event);
        QCOMPARE(QToolTip::text(),
            QStringLiteral("Empfangen um %1 (Byte 2)")
                .arg(TrafficExport::timeOfDay(received()->log().arrivalMsecs(1))));
    }

    // Strg+F in the window: a match is selected in both views at once, F3
    // goes on to the next with the dialog closed, new data leave the match
    // selected until the user goes back to the end, and "löschen" ends it.
    void searchSelectsAMatchInBothViews()
    {
        start();
        const QByteArray bytes("OK\r\nERROR 42\r\nOK\r\nerror 7\r\n");
        QVERIFY(m_f->com1.write(bytes));
        QVERIFY(waitForReceived(bytes.size()));
        FrmEmpfang *window = received();
        window->Text1->setFocus();
        QTest::keyClick(window->Text1, Qt::Key_F, Qt::ControlModifier);
        SearchDialog *dialog = window->search().dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Suchen"));
        QVERIFY(!dialog->nextButton()->isEnabled());
        QTest::keyClicks(dialog->patternEdit(), QStringLiteral("error"));
        dialog->nextButton()->click();
        QTRY_COMPARE(window->Text1->selectedText(), QStringLiteral("ERROR"));
        QCOMPARE(window->Text1->selectionStart(), 4);
        QCOMPARE(window->Text2->selectedText(), QStringLiteral("45 52 52 4F 52"));
        QCOMPARE(dialog->resultLabel()->text(), QStringLiteral("Treffer 1 von 2"));
        QCOMPARE(dialog->resultLabel()->accessibleName(), dialog->resultLabel()->text());

        dialog->close();
        window->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window->window()));
        window->Text1->setFocus();
        QTest::keyClick(window->Text1, Qt::Key_F3);
        QCOMPARE(window->Text1->selectedText(), QStringLiteral("error"));
        QCOMPARE(window->Text1->selectionStart(), 18);
        QCOMPARE(dialog->resultLabel()->text(), QStringLiteral("Treffer 2 von 2"));
        QTest::keyClick(window->Text1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("error"));

        // The match stays selected while data arrive, and is found among them.
        QVERIFY(m_f->com1.write("ERROR 9\r\n"));
        QVERIFY(waitForReceived(bytes.size() + 9));
        QCOMPARE(window->Text1->selectedText(), QStringLiteral("error"));
        QTRY_COMPARE(dialog->resultLabel()->text(), QStringLiteral("Treffer 2 von 3"));
        QTest::keyClick(window->Text1, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(window->Text1->selectionStart(), 4);
        // Back at the end, the view follows the data again.
        QTest::keyClick(window->Text1, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(m_f->com1.write("z"));
        QVERIFY(waitForReceived(bytes.size() + 10));
        QCOMPARE(window->Text1->cursorPosition(), bytes.size() + 10);
        QVERIFY(!window->Text1->hasSelection());

        window->Command2->click();
        QCOMPARE(dialog->resultLabel()->text(), QStringLiteral("Nicht gefunden."));
        QVERIFY(!window->Text1->hasSelection());
        QVERIFY(window->search().finder().hits().empty());
    }

    // Every control of "Suchen" has a name a screen reader says, and every
    // command but "Schließen" (Escape) an access key.
    void searchDialogControlsHaveNamesAndAccessKeys()
    {
        start();
        QVERIFY(m_f->com1.write("x"));
        QVERIFY(waitForReceived(1));
        received()->search().openDialog();
        SearchDialog *dialog = received()->search().dialog();
        for (QAbstractButton *control : dialog->findChildren<QAbstractButton *>()) {
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->text()));
            if (control->text() != QStringLiteral("Schließen"))
                QVERIFY2(control->text().contains(QLatin1Char('&')), qPrintable(control->text()));
        }
        QVERIFY(!dialog->patternEdit()->accessibleName().isEmpty());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
    }

    void searchEntryIsCheckedAsItIsTyped_data()
    {
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("result");
        QTest::newRow("gültiges Hex") << true << "4F 4B"
                                      << ""
                                      << "";
        QTest::newRow("ungültiges Hex") << true << "41 4"
                                        << "Ungültige Hex-Eingabe an Stelle 4."
                                        << "";
        QTest::newRow("nur ??") << true << "?? ??"
                                << "Ein Muster nur aus ?? passt auf alles."
                                << "";
        QTest::newRow("länger als alles") << false << "OK und noch viel mehr"
                                          << ""
                                          << "Nicht gefunden.";
    }
    void searchEntryIsCheckedAsItIsTyped()
    {
        QFETCH(bool, hex);
        QFETCH(QString, entry);
        QFETCH(QString, problem);
        QFETCH(QString, result);
        start();
        QVERIFY(m_f->com1.write("OK\r\n"));
        QVERIFY(waitForReceived(4));
        received()->search().openDialog();
        SearchDialog *dialog = received()->search().dialog();
        (hex ? dialog->hexOption() : dialog->textOption())->setChecked(true);
        dialog->patternEdit()->setText(entry);
        QCOMPARE(dialog->problemLabel()->isVisible(), !problem.isEmpty());
        if (!problem.isEmpty())
            QCOMPARE(dialog->problemLabel()->text(), problem);
        QCOMPARE(dialog->nextButton()->isEnabled(), problem.isEmpty());
        QCOMPARE(dialog->markAllButton()->isEnabled(), problem.isEmpty());
        QTRY_COMPARE(dialog->resultLabel()->text(), result);
    }
};

QTEST_MAIN(TestReceive)
#include "tst_receive.moc"
