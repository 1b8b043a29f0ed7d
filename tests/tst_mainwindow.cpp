#include "automation/frmautomat.h"
#include "mainwindowfixture.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frminfo.h"
#include "windows/frmsendefenster.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    MDITavel *m_window = nullptr;

    QAction *action(const char *name) const { return m_f->action(name); }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_window = m_f->window.get();
    }

    void cleanup() { m_f.reset(); }

    // F5 to F10 load, show and activate their windows.
    void functionKeysBringTheirWindows_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("title");
        QTest::newRow("F6") << int(Qt::Key_F6) << "Gesendete Daten";
        QTest::newRow("F7") << int(Qt::Key_F7) << "Empfangene Daten";
        QTest::newRow("F9") << int(Qt::Key_F9) << "Automatisierung";
        QTest::newRow("F5") << int(Qt::Key_F5) << "Eingabe";
        QTest::newRow("F8") << int(Qt::Key_F8) << "Einstellungen";
        QTest::newRow("F10") << int(Qt::Key_F10) << "Leitungen";
    }
    void functionKeysBringTheirWindows()
    {
        QFETCH(int, key);
        QFETCH(QString, title);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        m_window->mdiArea().setActiveSubWindow(nullptr);
        QTest::keyClick(m_window, Qt::Key(key));
        QMdiSubWindow *active = m_window->mdiArea().activeSubWindow();
        QVERIFY(active && active->isVisible());
        QVERIFY2(active->windowTitle().startsWith(title), qPrintable(active->windowTitle()));
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
        m_f->connectPort();
        FrmEingabe &input = m_window->eingabe().show();
        QMdiSubWindow *frame = input.frame();
        QCOMPARE(QApplication::focusWidget(), input.Text1);
        QVERIFY(m_f->com1.write("first data"));
        QTRY_VERIFY(m_window->empfang().loaded());
        const auto top = [this] {
            return m_window->mdiArea().subWindowList(QMdiArea::StackingOrder).constLast();
        };
        QCOMPARE(top(), m_window->empfang().loaded()->frame());
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
        QCOMPARE(top(), frame);
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
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
