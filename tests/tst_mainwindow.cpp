#include "app/statusbar.h"
#include "automation/frmautomat.h"
#include "mainwindowfixture.h"
#include "settings/frmeinstellungen.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frminfo.h"
#include "windows/frmsendefenster.h"

#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTest>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    MDITavel *m_window = nullptr;

    QAction *action(const char *name) const
    {
        return m_window->findChild<QAction *>(QLatin1String(name));
    }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_window = m_f->window.get();
    }

    void cleanup() { m_f.reset(); }

    void menuItemsHaveTheirCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        const auto row = [](const char *name, const char *caption, QKeySequence key = {}) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << key;
        };
        row("MnSendenspeichern", "&Gesendete Daten speichern");
        row("MnEmpfangSpeichern", "&Empfangene Daten speichern");
        row("MnEinstSpeichern", "Einstellungen &speichern");
        row("MnDateiDatei", "&Datei senden");
        row("MnMitschnitt", "&Mitschnitt …");
        row("MnGeraeteZuordnen", "Geräte &zuordnen …");
        row("MnEnde", "&Beenden");
        row("MnFensterEingabe", "&Eingabefenster", Qt::Key_F5);
        row("MnFensterSenden", "&Gesendete Daten", Qt::Key_F6);
        row("MnFensterEmpfang", "Empfangene &Daten", Qt::Key_F7);
        row("MnFensterEinstellungen", "Ei&nstellungen", Qt::Key_F8);
        row("MnFensterAutomatisierung", "&Automatisierung", Qt::Key_F9);
        row("MnInfo", "&Info");
    }

    void menuItemsHaveTheirCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QAction *item = m_window->findChild<QAction *>(name);
        QVERIFY(item);
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->shortcut(), shortcut);
        QVERIFY(item->isEnabled() && item->isVisible() && !item->isChecked());
    }

    void menuBarReadsDateiFensterInfo()
    {
        QStringList titles;
        for (QAction *top : m_window->menuBar()->actions())
            titles << top->text();
        QCOMPARE(titles,
            (QStringList {
                QStringLiteral("&Datei"), QStringLiteral("Fenster"), QStringLiteral("&Info") }));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Tavel"));
    }

    void statusBarStartsWithItsTwoPanelTexts()
    {
        QCOMPARE(m_window->StatusBar1().panelText(1), QStringLiteral("Einstellungen "));
        QCOMPARE(m_window->StatusBar1().panelText(2), QStringLiteral("Keine serielle Verbindung"));
    }

    void windowCommandsLoadShowAndActivate()
    {
        const char *commands[] = { "MnFensterSenden", "MnFensterEmpfang",
            "MnFensterAutomatisierung", "MnFensterEingabe", "MnFensterEinstellungen" };
        for (const char *name : commands) {
            action(name)->trigger();
            QMdiSubWindow *active = m_window->mdiArea().activeSubWindow();
            QVERIFY2(active && active->isVisible(), name);
        }
        QCOMPARE(m_window->mdiArea().subWindowList().size(), 5);
        QCOMPARE(
            m_window->mdiArea().activeSubWindow(), m_window->einstellungen().loaded()->frame());
    }

    // A window loaded on first use covers the one the user types in without
    // taking its activation; a click anywhere on the covered window brings it
    // forward, and the keyboard focus stays where it was.
    void clickBringsCoveredActiveWindowForward_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("title bar") << "title bar";
        QTest::newRow("entry") << "entry";
        QTest::newRow("label") << "label";
    }

    void clickBringsCoveredActiveWindowForward()
    {
        QFETCH(QString, where);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        m_window->einstellungen().loaded()->Command3->click();
        FrmEingabe &input = m_window->eingabe().show();
        QMdiSubWindow *frame = input.frame();
        QCOMPARE(QApplication::focusWidget(), input.Text1);
        QVERIFY(m_f->com1.write("first data"));
        QTRY_VERIFY(m_window->empfang().loaded());
        const auto stack = [this] {
            return m_window->mdiArea().subWindowList(QMdiArea::StackingOrder).constLast();
        };
        QCOMPARE(stack(), m_window->empfang().loaded()->frame());
        QCOMPARE(m_window->mdiArea().activeSubWindow(), frame);
        QCOMPARE(QApplication::focusWidget(), input.Text1);

        if (where == QLatin1String("title bar")) {
            const int title
                = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
            QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(frame->width() / 3, title / 2));
        } else if (where == QLatin1String("entry")) {
            QTest::mouseClick(input.Text1->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        } else {
            QTest::mouseClick(input.Label2[1], Qt::LeftButton, {}, QPoint(2, 2));
        }
        QCOMPARE(stack(), frame);
        QCOMPARE(m_window->mdiArea().activeSubWindow(), frame);
        QCOMPARE(QApplication::focusWidget(), input.Text1);
    }

    void windowCommandBringsHiddenWindowBackInPlace()
    {
        FrmEingabe *input = m_window->eingabe().loaded();
        input->frame()->move(77, 55);
        input->hideWindow();
        action("MnFensterEingabe")->trigger();
        QCOMPARE(m_window->eingabe().loaded(), input);
        QVERIFY(input->frame()->isVisible());
        QCOMPARE(input->frame()->pos(), QPoint(77, 55));
    }

    void windowMenuListsShownWindowsWithTheActiveChecked()
    {
        auto *menu = m_window->findChild<QMenu *>(QStringLiteral("MnFenster"));
        m_window->eingabe().loaded()->hideWindow();
        Q_EMIT menu->aboutToShow();
        QStringList listed;
        QString checked;
        for (QAction *item : menu->actions()) {
            if (item->isCheckable()) {
                listed << item->text();
                if (item->isChecked())
                    checked = item->text();
            }
        }
        QCOMPARE(listed, QStringList { QStringLiteral("&1 Einstellungen") });
        QCOMPARE(checked, QStringLiteral("&1 Einstellungen"));
    }

    // The commands that write a file ask for it first; cancelled, they
    // change nothing.
    void cancelledSaveDialogsChangeNothing()
    {
        const int windows = m_window->mdiArea().subWindowList().size();
        for (const char *name : { "MnSendenspeichern", "MnEmpfangSpeichern", "MnMitschnitt" })
            action(name)->trigger();
        QCOMPARE(m_window->mdiArea().subWindowList().size(), windows);
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QStringList titles;
        for (const RecordingDialogs::SaveDialog &dialog : m_f->dialogs.saveDialogs)
            titles << dialog.title;
        QCOMPARE(titles,
            (QStringList { QStringLiteral("Gesendete Daten speichern"),
                QStringLiteral("Empfangene Daten speichern"),
                QStringLiteral("Mitschnitt speichern") }));
        QCOMPARE(action("MnMitschnitt")->text(), QStringLiteral("&Mitschnitt …"));
        QVERIFY(!QFile::exists(m_f->settingsPath()));
    }

    void infoIsModalAndClosesOnBackgroundClick()
    {
        bool wasModal = false;
        QTimer::singleShot(0, this, [&] {
            auto *info = qobject_cast<FrmInfo *>(QApplication::activeModalWidget());
            QVERIFY(info);
            wasModal = info->isModal();
            QCOMPARE(info->windowTitle(), QStringLiteral("Info"));
            QTest::keyClick(info, Qt::Key_Escape);
            QCOMPARE(QApplication::activeModalWidget(), info);
            QTest::mouseClick(info, Qt::LeftButton, {}, QPoint(2, 2));
        });
        action("MnInfo")->trigger();
        QVERIFY(wasModal);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Renamed, ticked and edited in the window, kept through tavel.cfg, back
    // in the window of the next run.
    void automationChangesSurviveARestart()
    {
        frmAutomat &automation = m_window->automat().show();
        m_f->dialogs.inputAnswers << QStringLiteral("Reset \"A\", jetzt");
        automation.CmdAutomat_RightButton(2);
        automation.chkAutomat[2]->setChecked(true);
        const QString payload = QStringLiteral("AT\"Z\"\r\nATI3");
        automation.txtAutomat[2]->setText(payload);
        m_window->close();

        m_f->window = std::make_unique<MDITavel>(m_f->settingsPath());
        m_window = m_f->window.get();
        QCOMPARE(m_window->MDIForm_Load(), MDITavel::StartOutcome::Running);
        frmAutomat &again = m_window->automat().show();
        QCOMPARE(again.CmdAutomat[2]->text(), QStringLiteral("Reset \"A\", jetzt"));
        QVERIFY(again.chkAutomat[2]->isChecked());
        QCOMPARE(again.txtAutomat[2]->text(), payload);
        QCOMPARE(again.CmdAutomat[3]->text(), QStringLiteral("Senden 4"));
    }

    void beendenClosesAndWritesTheSettings()
    {
        action("MnEnde")->trigger();
        QVERIFY(m_window->isShutDown());
        QVERIFY(QFile::exists(m_f->settingsPath()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
