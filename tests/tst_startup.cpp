#include "assignmentanswer.h"
#include "automation/frmautomat.h"
#include "base/errorreport.h"
#include "config/settingsfile.h"
#include "devices/deviceassignment.h"
#include "devices/deviceassignmentstore.h"
#include "filehelpers.h"
#include "mainwindowfixture.h"
#include "windows/frmeingabe.h"
#include "windows/frmsendefenster.h"

#include <QMdiArea>

namespace {

const QString kOnlyCom1 = QStringLiteral("Es steht nur COM1 zur Verfügung");
const QString kOnlyCom2 = QStringLiteral("Es steht nur COM2 zur Verfügung");
const QString kNoPort = QStringLiteral(
    "Es wurde kein freier COM-Port gefunden, das Programm kann nicht ausgeführt werden.");

// The main window not yet started; a missing port is pointed at a path
// that does not exist.
std::unique_ptr<MainWindowFixture> unstarted(bool com1Exists = true, bool com2Exists = true)
{
    auto f = std::make_unique<MainWindowFixture>(nullptr, false);
    if (!com1Exists)
        qputenv("TAVEL_COM1", "/dev/tavel-none-1");
    if (!com2Exists)
        qputenv("TAVEL_COM2", "/dev/tavel-none-2");
    return f;
}

QStringList titlesOf(const RecordingDialogs &dialogs)
{
    QStringList titles;
    for (const RecordingDialogs::Box &box : dialogs.messages)
        titles << box.title;
    return titles;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bothPortsFreeOpensInputAndSettingsWithoutMessage()
    {
        const auto f = unstarted();
        MDITavel &window = *f->window;
        QCOMPARE(f->begin(), MDITavel::StartOutcome::Running);

        QCOMPARE(window.state().PortMask, 3);
        QVERIFY(f->dialogs.messages.isEmpty());
        QCOMPARE(f->panel(1), QStringLiteral("Einstellungen "));
        QCOMPARE(f->panel(2), QStringLiteral("Keine serielle Verbindung"));
        QVERIFY(window.isVisible() && window.eingabe().loaded()->isVisible());
        FrmEinstellungen *settings = window.einstellungen().loaded();
        QVERIFY(settings->Option1[0]->isEnabled() && settings->Option1[1]->isEnabled());
        QCOMPARE(window.mdiArea().activeSubWindow(), settings->frame());
        QVERIFY(!window.MSComm1().PortOpen());
        QVERIFY(!window.empfang().loaded() && !window.sendefenster().loaded()
            && !window.automat().loaded());
    }

    // COM1 usable alone: the saved choice of COM2 gives way to COM1.
    // COM1 held by another program: passed over silently, COM2 alone.
    // COM1 missing: reported, and COM2 is still tried and used.
    void onePortUsableRestrictsTheChoice_data()
    {
        QTest::addColumn<bool>("com1Exists");
        QTest::addColumn<bool>("com1Held");
        QTest::addColumn<bool>("com2Exists");
        QTest::addColumn<int>("portMask");
        QTest::addColumn<QStringList>("titles");
        const QStringList portTest { "Serieller Port-Test" };
        QTest::newRow("COM2 missing") << true << false << false << 1 << portTest;
        QTest::newRow("COM1 held by another program") << true << true << true << 2 << portTest;
        QTest::newRow("COM1 missing")
            << false << false << true << 2 << QStringList { "Fehler", "Serieller Port-Test" };
    }

    void onePortUsableRestrictsTheChoice()
    {
        QFETCH(bool, com1Exists);
        QFETCH(bool, com1Held);
        QFETCH(bool, com2Exists);
        QFETCH(int, portMask);
        QFETCH(QStringList, titles);

        const auto f = unstarted(com1Exists, com2Exists);
        MDITavel &window = *f->window;
        SavedState saved = SavedState::defaults();
        saved.ConnectionSettings[1] = std::int16_t(portMask == 1 ? 1 : 0);
        QVERIFY(writeFile(f->settingsPath(), SettingsFile::serialize(saved)));
        MSComm holder;
        if (com1Held)
            QVERIFY(!holder.setCommPort(1) && !holder.setPortOpen(true));
        // The message stands over the main window and its first two children.
        bool shownOverWindows = false;
        f->dialogs.onMessage = [&](const RecordingDialogs::Box &) {
            shownOverWindows = window.isVisible() && window.eingabe().loaded()
                && window.eingabe().loaded()->frame()->isVisible()
                && window.einstellungen().loaded()
                && window.einstellungen().loaded()->frame()->isVisible();
        };
        QCOMPARE(f->begin(), MDITavel::StartOutcome::Running);
        QVERIFY(shownOverWindows);

        QCOMPARE(window.state().PortMask, portMask);
        QCOMPARE(titlesOf(f->dialogs), titles);
        QCOMPARE(f->dialogs.messages.last().text, portMask == 1 ? kOnlyCom1 : kOnlyCom2);
        FrmEinstellungen *settings = window.einstellungen().loaded();
        const int usable = portMask - 1;
        QVERIFY(settings->Option1[usable]->isChecked() && settings->Option1[usable]->isEnabled());
        QVERIFY(!settings->Option1[1 - usable]->isEnabled());
        QCOMPARE(window.mdiArea().activeSubWindow(), settings->frame());
    }

    // With no free port the device assignment opens before the program gives
    // up: cancelled, or still no port free, the end, which still writes the
    // settings file; a device that works, and the program starts with it.
    void noUsablePortOffersTheAssignmentFirst_data()
    {
        QTest::addColumn<bool>("com1Held");
        QTest::addColumn<QString>("answer"); // empty: Abbrechen
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("portMask");
        const QString none = QStringLiteral("/dev/tavel-none-3");
        QTest::newRow("COM1 and COM2 missing, cancelled")
            << false << QString() << QStringList { "Fehler", "Serielles Problem" } << 0;
        QTest::newRow("COM1 held, COM2 missing, cancelled")
            << true << QString() << QStringList { "Serielles Problem" } << 0;
        QTest::newRow("still nothing free")
            << false << none << QStringList { "Fehler", "Fehler", "Serielles Problem" } << 0;
        QTest::newRow("a device for COM1") << false << QStringLiteral("pty")
                                           << QStringList { "Fehler", "Serieller Port-Test" } << 1;
    }
    void noUsablePortOffersTheAssignmentFirst()
    {
        QFETCH(bool, com1Held);
        QFETCH(QString, answer);
        QFETCH(QStringList, titles);
        QFETCH(int, portMask);
        const auto f = unstarted();
        MDITavel &window = *f->window;
        // The ports stand for what the assignment file names, so that the
        // dialog's choice counts and no device of this machine is opened.
        // A held COM1 stays the pty, which the test holds itself.
        if (!com1Held)
            qunsetenv("TAVEL_COM1");
        qunsetenv("TAVEL_COM2");
        DeviceAssignment assignment;
        assignment.setDevicePath(1, QStringLiteral("/dev/tavel-none-1"));
        assignment.setDevicePath(2, QStringLiteral("/dev/tavel-none-2"));
        QVERIFY(writeFile(
            DeviceAssignmentStore::pathBeside(f->settingsPath()), assignment.serialize()));
        MSComm holder;
        if (com1Held)
            QVERIFY(!holder.setCommPort(1) && !holder.setPortOpen(true));
        // The assignment opens with the reports of the probe behind it and no
        // window yet.
        bool seen = false;
        answerAssignmentDialog(answer == QStringLiteral("pty") ? f->com1.slavePath() : answer,
            QStringLiteral("/dev/tavel-none-2"), !answer.isEmpty(), &seen);
        const MDITavel::StartOutcome outcome = f->begin();
        QVERIFY(seen);
        QCOMPARE(window.state().PortMask, portMask);
        QCOMPARE(titlesOf(f->dialogs), titles);
        if (titles.first() == QStringLiteral("Fehler"))
            QVERIFY2(f->dialogs.messages[0].text.startsWith(
                         QStringLiteral("Fehler  8010 wurde ausgelöst von MSComm1\r\n")),
                qPrintable(f->dialogs.messages[0].text));
        if (portMask == 0) {
            QCOMPARE(outcome, MDITavel::StartOutcome::EndProgram);
            QCOMPARE(f->dialogs.messages.last().text, kNoPort);
            QVERIFY(!window.isVisible() && !window.eingabe().loaded());
            QCOMPARE(
                contentsOf(f->settingsPath()), SettingsFile::serialize(SavedState::defaults()));
        } else {
            QCOMPARE(outcome, MDITavel::StartOutcome::Running);
            QCOMPARE(f->dialogs.messages.last().text, kOnlyCom1);
            f->connectPort();
            QCOMPARE(window.MSComm1().openPath(), f->com1.slavePath());
        }
    }

    // The number stands two blanks after the word, a minus sign taking
    // the first blank's place.
    void errorReportHasItsFormat_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        QTest::newRow("positive") << 8010 << "Fehler  8010 wurde ausgelöst von MSComm1\r\nweg";
        QTest::newRow("negative") << -5 << "Fehler -5 wurde ausgelöst von MSComm1\r\nweg";
        QTest::newRow("zero") << 0 << "Fehler  0 wurde ausgelöst von MSComm1\r\nweg";
    }
    void errorReportHasItsFormat()
    {
        QFETCH(int, number);
        QFETCH(QString, expected);
        QCOMPARE(errorReportText({ number, QStringLiteral("MSComm1"), QStringLiteral("weg") }),
            expected);
    }

    void shutdownStoresOpenWindowsAndKeepsTheOthers()
    {
        SavedState saved = SavedState::defaults();
        saved.WindowLeft[2] = -45;
        saved.WindowTop[2] = 120;
        saved.ConnectionSettings = { 6, 1, 0, 3, 0 };
        const auto f = unstarted();
        QVERIFY(writeFile(f->settingsPath(), SettingsFile::serialize(saved)));
        QCOMPARE(f->begin(), MDITavel::StartOutcome::Running);
        FrmEinstellungen *settings = f->settings();
        settings->frame()->move(60, 30);
        settings->Option2[4]->setChecked(true);
        // Hidden, not unloaded: its choices still reach the file at the end.
        settings->Command1->click();
        f->window->close();
        QVERIFY(f->window->isShutDown());
        QVERIFY(!f->window->einstellungen().loaded());
        SettingsFile::ReadResult written = SettingsFile::parse(contentsOf(f->settingsPath()));
        QVERIFY(written.problem.isEmpty());
        const int dpi = QApplication::primaryScreen()->logicalDotsPerInchX();
        QCOMPARE(written.state.WindowLeft[3], int(std::lround(60.0 * 1440 / dpi)));
        QCOMPARE(written.state.WindowTop[3], int(std::lround(30.0 * 1440 / dpi)));
        QCOMPARE(written.state.ConnectionSettings, (std::array<std::int16_t, 5> { 6, 1, 4, 3, 0 }));
        // The received-data window never opened: its place is written back unchanged.
        QCOMPARE(written.state.WindowLeft[2], -45);
        QCOMPARE(written.state.WindowTop[2], 120);
        QCOMPARE(written.state.WindowLeft[0], 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
