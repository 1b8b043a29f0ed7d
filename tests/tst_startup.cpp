#include "app/mditavel.h"
#include "automation/frmautomat.h"
#include "base/errorreport.h"
#include "config/settingsfile.h"
#include "filehelpers.h"
#include "ptydevice.h"
#include "recordingdialogs.h"
#include "settings/frmeinstellungen.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frmsendefenster.h"

#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kOnlyCom1 = QStringLiteral("Es steht nur COM1 zur Verfügung");
const QString kOnlyCom2 = QStringLiteral("Es steht nur COM2 zur Verfügung");
const QString kNoPort = QStringLiteral(
    "Es wurde kein freier COM-Port gefunden, das Programm kann nicht ausgeführt werden.");

// COM1 and COM2 pointed at pseudo-terminals, or at paths that do not exist.
struct Ports
{
    PtyDevice com1;
    PtyDevice com2;

    void point(bool com1Exists, bool com2Exists)
    {
        qputenv("TAVEL_COM1", com1Exists ? com1.slavePath().toLocal8Bit() : "/dev/tavel-none-1");
        qputenv("TAVEL_COM2", com2Exists ? com2.slavePath().toLocal8Bit() : "/dev/tavel-none-2");
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString settingsPath() const { return m_folder.filePath(QStringLiteral("tavel.cfg")); }

private Q_SLOTS:
    void init()
    {
        QFile::remove(settingsPath());
        QFile::remove(settingsPath() + QStringLiteral(".bak"));
    }

    void bothPortsFreeOpensInputAndSettingsWithoutMessage()
    {
        Ports ports;
        ports.point(true, true);
        RecordingDialogs dialogs;
        MDITavel window(settingsPath());
        QCOMPARE(window.MDIForm_Load(), MDITavel::StartOutcome::Running);

        QCOMPARE(window.state().PortMask, 3);
        QVERIFY(dialogs.messages.isEmpty());
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

        SavedState saved = SavedState::defaults();
        saved.ConnectionSettings[1] = std::int16_t(portMask == 1 ? 1 : 0);
        QVERIFY(writeFile(settingsPath(), SettingsFile::serialize(saved)));

        Ports ports;
        ports.point(true, com2Exists);
        MSComm holder;
        if (com1Held)
            QVERIFY(!holder.setCommPort(1) && !holder.setPortOpen(true));
        RecordingDialogs dialogs;
        MDITavel window(settingsPath());
        // The message stands over the main window and its first two children.
        bool shownOverWindows = false;
        dialogs.onMessage = [&](const RecordingDialogs::Box &) {
            shownOverWindows = window.isVisible() && window.eingabe().loaded()
                && window.eingabe().loaded()->frame()->isVisible()
                && window.einstellungen().loaded()
                && window.einstellungen().loaded()->frame()->isVisible();
        };
        QCOMPARE(window.MDIForm_Load(), MDITavel::StartOutcome::Running);
        QVERIFY(shownOverWindows);

        QCOMPARE(window.state().PortMask, portMask);
        QCOMPARE(dialogs.messageTexts(), QStringList { message });
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("Serieller Port-Test"));
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
        Ports ports;
        ports.point(com1Held, !com1Held);
        MSComm holder;
        if (com1Held)
            QVERIFY(!holder.setCommPort(1) && !holder.setPortOpen(true));
        RecordingDialogs dialogs;
        MDITavel window(settingsPath());
        QCOMPARE(window.MDIForm_Load(), MDITavel::StartOutcome::EndProgram);
        QCOMPARE(window.state().PortMask, 0);
        QStringList shown;
        for (const RecordingDialogs::Box &box : dialogs.messages)
            shown << box.title;
        QCOMPARE(shown, titles);
        QCOMPARE(dialogs.messages.last().text, kNoPort);
        if (!com1Held)
            QVERIFY2(dialogs.messages[0].text.startsWith(
                         QStringLiteral("Fehler  8010 wurde ausgelöst von MSComm1\r\n")),
                qPrintable(dialogs.messages[0].text));
        QVERIFY(!window.isVisible() && !window.eingabe().loaded());
        QCOMPARE(contentsOf(settingsPath()), SettingsFile::serialize(SavedState::defaults()));
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

    void damagedSettingsFileIsReportedAndKept()
    {
        QVERIFY(writeFile(settingsPath(), "100,200\r\n"));

        Ports ports;
        ports.point(true, true);
        RecordingDialogs dialogs;
        {
            MDITavel window(settingsPath());
            QCOMPARE(window.MDIForm_Load(), MDITavel::StartOutcome::Running);
            QCOMPARE(window.state().WindowLeft[0], 100);
            QCOMPARE(window.state().WindowTop[0], 200);
            QCOMPARE(window.state().WindowLeft[1], 330);
            QCOMPARE(dialogs.messages.size(), 1);
            QVERIFY(dialogs.messages[0].text.contains(settingsPath()));
            window.close();
        }
        QCOMPARE(contentsOf(settingsPath() + QStringLiteral(".bak")), QByteArray("100,200\r\n"));
        QCOMPARE(contentsOf(settingsPath()).count("\r\n"), 30);
    }

    void shutdownStoresOpenWindowsAndKeepsTheOthers()
    {
        SavedState saved = SavedState::defaults();
        saved.WindowLeft[2] = -45;
        saved.WindowTop[2] = 120;
        saved.ConnectionSettings = { 6, 1, 0, 3, 0 };
        QVERIFY(writeFile(settingsPath(), SettingsFile::serialize(saved)));

        Ports ports;
        ports.point(true, true);
        RecordingDialogs dialogs;
        {
            MDITavel window(settingsPath());
            QCOMPARE(window.MDIForm_Load(), MDITavel::StartOutcome::Running);
            FrmEinstellungen *settings = window.einstellungen().loaded();
            settings->frame()->move(60, 30);
            settings->Option2[4]->setChecked(true);
            // Hidden, not unloaded: its choices still reach the file at the end.
            settings->Command1->click();
            window.close();
            QVERIFY(window.isShutDown());
            QVERIFY(!window.einstellungen().loaded());
        }
        SettingsFile::ReadResult written = SettingsFile::parse(contentsOf(settingsPath()));
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
