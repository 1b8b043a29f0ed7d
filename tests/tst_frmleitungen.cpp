#include "base/twips.h"
#include "config/settingsfile.h"
#include "filehelpers.h"
#include "linedouble.h"
#include "mainwindowfixture.h"
#include "serial/linessettingsstore.h"
#include "windows/frmleitungen.h"
#include "windows/linelamp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <sys/ioctl.h>

namespace {

QStringList lampNames(const FrmLeitungen &window)
{
    QStringList names;
    for (const LineLamp *lamp : window.lamps)
        names << lamp->accessibleName();
    return names;
}

QStringList lampsSaying(const QString &word)
{
    return { "CTS: " + word, "DSR: " + word, "DCD: " + word, "RI: " + word };
}

} // namespace

// The lines window, in the real main window on pseudo-terminals: its file
// beside tavel.cfg, its place, and what it shows of a port with and without
// modem lines.
class TestFrmLeitungen : public QObject
{
    Q_OBJECT

private:
    static QString linesPath(const MainWindowFixture &f)
    {
        return LinesSettingsStore::pathBeside(f.settingsPath());
    }

private Q_SLOTS:
    // An access key that the menu bar has too would only move the focus.
    void accessKeysAreUniqueAndLeaveTheMenuBarsAlone()
    {
        MainWindowFixture f;
        QList<QKeySequence> keys;
        for (const QAction *menu : f.window->menuBar()->actions())
            keys << QKeySequence::mnemonic(menu->text());
        FrmLeitungen &window = f.window->leitungen().show();
        int controls = 0;
        for (const QWidget *control : window.findChildren<QWidget *>()) {
            const QByteArray text = control->property("text").toString().toUtf8();
            const QKeySequence key = QKeySequence::mnemonic(QString::fromUtf8(text));
            if (key.isEmpty())
                continue;
            QVERIFY2(!keys.contains(key), text.constData());
            keys << key;
            ++controls;
        }
        QCOMPARE(controls, 13);
    }

    // Each choice takes effect and is on disk at once; the window's place
    // is added only once it closes.
    void choicesAreWrittenAsTheUserMakesThem()
    {
        MainWindowFixture f;
        FrmLeitungen &window = f.window->leitungen().show();
        window.portOptions[1]->click();
        window.flowOptions[1]->click();
        window.dtrAtOpen->setCurrentIndex(1);
        window.keepDtr->click();
        window.portOptions[0]->click();
        window.rtsAtOpen->setCurrentIndex(1);
        window.breakLength->setValue(500);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(contentsOf(linesPath(f)),
            QByteArray("# Tavel: Leitungen je Port\n"
                       "COM1.Flusssteuerung=keine\n"
                       "COM1.DTR=ein\n"
                       "COM1.RTS=aus\n"
                       "COM1.DTR-nach-Trennen=aus\n"
                       "COM2.Flusssteuerung=RTS/CTS\n"
                       "COM2.DTR=aus\n"
                       "COM2.RTS=ein\n"
                       "COM2.DTR-nach-Trennen=ein\n"
                       "Break=500\n"));
        QCOMPARE(f.comm().lines().choices(2).flowControl, LineChoices::FlowControl::RtsCts);
        // The window shows each port's own choices.
        window.portOptions[1]->click();
        QVERIFY(window.flowOptions[1]->isChecked() && window.keepDtr->isChecked());
    }

    // Reported once at start; the file stays as it was until the user
    // changes something, and is then kept as its .bak.
    void damagedFileIsReportedOnceAndKeptUntilAChange()
    {
        MainWindowFixture f({}, false);
        const QByteArray damaged = "COM1.DTR=vielleicht\n";
        QVERIFY(writeFile(linesPath(f), damaged));
        QCOMPARE(f.begin(), MDITavel::StartOutcome::Running);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(f.dialogs.messages[0].text.contains(QStringLiteral("beschädigt"))
                && f.dialogs.messages[0].text.contains(QStringLiteral("tavel-leitungen.cfg")),
            qPrintable(f.dialogs.messages[0].text));
        FrmLeitungen &window = f.window->leitungen().show();
        window.hideWindow();
        QCOMPARE(contentsOf(linesPath(f)), damaged);
        window.flowOptions[2]->click();
        QCOMPARE(contentsOf(linesPath(f) + QStringLiteral(".bak")), damaged);
        QVERIFY(contentsOf(linesPath(f)).contains("COM1.Flusssteuerung=XON/XOFF\n"));
        QCOMPARE(f.dialogs.messages.size(), 1);
    }

    // The place goes into the window's own file; tavel.cfg keeps the five
    // places it has always kept.
    void placeIsKeptAcrossARestartWithoutTouchingTavelCfg()
    {
        MainWindowFixture f;
        FrmLeitungen &window = f.window->leitungen().show();
        window.frame()->move(100, 50);
        const int dpi = window.frame()->logicalDpiX();
        f.window->close();
        const QByteArray place = QStringLiteral("Fenster=%1,%2\n")
                                     .arg(Twips::fromPixels(100, dpi))
                                     .arg(Twips::fromPixels(50, dpi))
                                     .toLatin1();
        QVERIFY(contentsOf(linesPath(f)).endsWith(place));
        const SavedState saved = SettingsFile::parse(contentsOf(f.settingsPath())).state;
        QCOMPARE(saved.WindowLeft, SavedState::defaults().WindowLeft);
        QCOMPARE(saved.WindowTop, SavedState::defaults().WindowTop);

        f.window = std::make_unique<MDITavel>(f.settingsPath());
        QCOMPARE(f.begin(), MDITavel::StartOutcome::Running);
        QCOMPARE(f.window->leitungen().show().frame()->pos(), QPoint(100, 50));
    }

    // A pty's driver refuses the modem-line ioctls: the lines are unknown and
    // say why, and the port goes on carrying data, without a box.
    void plainPtyLeavesTheLinesUnknownAndTheDataFlowing()
    {
        MainWindowFixture f;
        FrmLeitungen &window = f.window->leitungen().show();
        window.portOptions[1]->click();
        QCOMPARE(lampNames(window), lampsSaying("unbekannt"));
        QCOMPARE(window.dtrButton->toolTip(), QStringLiteral("Nicht verbunden."));
        QVERIFY(!window.breakButton->isEnabled());

        f.connectPort();
        QVERIFY(window.portOptions[0]->isChecked() && !window.portOptions[1]->isEnabled());
        QCOMPARE(lampNames(window), lampsSaying("unbekannt"));
        const QString why
            = QStringLiteral("Steuerleitungen nicht verfügbar: vom Treiber nicht unterstützt.");
        for (QPushButton *own : { window.dtrButton, window.rtsButton }) {
            QVERIFY(!own->isEnabled());
            QCOMPARE(own->toolTip(), why);
            QCOMPARE(own->accessibleDescription(), why);
        }
        QCOMPARE(window.dtrButton->accessibleName(), QStringLiteral("DTR: unbekannt"));
        QVERIFY(window.breakButton->isEnabled());
        QVERIFY(f.receive("nach wie vor"));
        QVERIFY(f.comm().PortOpen());
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    // With modem lines (the line double), the lamps follow the far end and
    // the buttons reach the wires.
    void lampsFollowTheFarEndAndTheButtonsReachTheWires()
    {
        QVERIFY2(LineDouble::isPreloaded(), "run through ctest, which preloads the line double");
        MainWindowFixture f({}, false);
        LineDouble lines;
        QVERIFY2(lines.isValid(), qPrintable(lines.errorString()));
        lines.useInThisProcess();
        QCOMPARE(f.begin(), MDITavel::StartOutcome::Running);
        FrmLeitungen &window = f.window->leitungen().show();
        f.connectPort();
        QVERIFY(window.dtrButton->isEnabled() && window.dtrButton->isChecked());
        QCOMPARE(lampNames(window), lampsSaying("aus"));

        lines.setFarLines(TIOCM_CTS | TIOCM_CAR);
        QTRY_COMPARE(
            lampNames(window), (QStringList { "CTS: ein", "DSR: aus", "DCD: ein", "RI: aus" }));
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.window->leitungen().show();
        // The access key presses the button as a click would, a moment later.
        QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
        QTRY_VERIFY(!lines.dtr());
        QVERIFY(lines.rts());
        QCOMPARE(window.dtrButton->accessibleName(), QStringLiteral("DTR: aus"));
        window.rtsButton->click();
        QVERIFY(!lines.rts());

        window.flowOptions[1]->click();
        QVERIFY(!window.rtsButton->isEnabled());
        QCOMPARE(window.rtsButton->toolTip(),
            QStringLiteral("Bei RTS/CTS setzt der Treiber RTS selbst."));
        QVERIFY(f.dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(TestFrmLeitungen)
#include "tst_frmleitungen.moc"
