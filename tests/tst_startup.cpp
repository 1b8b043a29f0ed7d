#include "automation/frmautomat.h"
#include "base/errorreport.h"
#include "config/settingsfile.h"
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
    void onePortUsableRestrictsTheChoice_data()
    {
        QTest::addColumn<bool>("com1Held");
        QTest::addColumn<bool>("com2Exists");
        QTest::addColumn<int>("portMask");
        QTest::addColumn<QString>("message");
        QTest::newRow("COM2 missing") << false << false << 1 << kOnlyCom1;
        QTest::newRow("COM1 held by another program") << true << true << 2 << kOnlyCom2;
    }

    void onePortUsableRestrictsTheChoice()
    {
        QFETCH(bool, com1Held);
        QFETCH(bool, com2Exists);
        QFETCH(int, portMask);
        QFETCH(QString, message);

        const auto f = unstarted(true, com2Exists);
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
        QCOMPARE(f->dialogs.messageTexts(), QStringList { message });
        QCOMPARE(f->dialogs.messages[0].title, QStringLiteral("Serieller Port-Test"));
        FrmEinstellungen *settings = window.einstellungen().loaded();
        const int usable = portMask - 1;
        QVERIFY(settings->Option1[usable]->isChecked() && settings->Option1[usable]->isEnabled());
        QVERIFY(!settings->Option1[1 - usable]->isEnabled());
        QCOMPARE(window.mdiArea().activeSubWindow(), settings->frame());
    }

    // COM1 missing is an error, and COM2 is not tried; COM1 held by another
    // program is passed over silently. Either way the end still writes the
    // settings file.
    void noUsablePortEndsTheProgram_data()
    {
        QTest::addColumn<bool>("com1Held");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("COM1 missing") << false << QStringList { "Fehler", "Serielles Problem" };
        QTest::newRow("COM1 held, COM2 missing") << true << QStringList { "Serielles Problem" };
    }
    void noUsablePortEndsTheProgram()
    {
        QFETCH(bool, com1Held);
        QFETCH(QStringList, titles);
        const auto f = unstarted(com1Held, !com1Held);
        MDITavel &window = *f->window;
        MSComm holder;
        if (com1Held)
            QVERIFY(!holder.setCommPort(1) && !holder.setPortOpen(true));
        QCOMPARE(f->begin(), MDITavel::StartOutcome::EndProgram);
        QCOMPARE(window.state().PortMask, 0);
        QStringList shown;
        for (const RecordingDialogs::Box &box : f->dialogs.messages)
            shown << box.title;
        QCOMPARE(shown, titles);
        QCOMPARE(f->dialogs.messages.last().text, kNoPort);
        if (!com1Held)
            QVERIFY2(f->dialogs.messages[0].text.startsWith(
                         QStringLiteral("Fehler  8010 wurde ausgelöst von MSComm1\r\n")),
                qPrintable(f->dialogs.messages[0].text));
        QVERIFY(!window.isVisible() && !window.eingabe().loaded());
        QCOMPARE(contentsOf(f->settingsPath()), SettingsFile::serialize(SavedState::defaults()));
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
