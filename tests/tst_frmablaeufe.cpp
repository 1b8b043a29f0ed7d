#include "app/routinescommand.h"
#include "automation/frmablaeufe.h"
#include "automation/frmautomat.h"
#include "automation/routines.h"
#include "automation/ruleeditor.h"
#include "base/messages.h"
#include "filehelpers.h"
#include "mainwindowfixture.h"
#include "windows/eightbitedit.h"
#include "windows/frmsendefenster.h"
#include "windows/trafficview/trafficview.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <vector>

// The "Abläufe" window in the running program, with COM1 behind a name that
// stays while the pty behind it comes and goes, as a USB adapter's by-id name.
class TestFrmAblaeufe : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    QTemporaryDir m_links;
    QString m_link;
    // Every node the device had; each return brings a new one.
    std::vector<std::unique_ptr<PtyDevice>> m_nodes;

    PtyDevice &device() { return *m_nodes.back(); }
    FrmAblaeufe &window() { return m_f->window->ablaeufe().show(); }
    Routines &routines() { return m_f->window->routinesCommand().routines(); }
    QString routinesPath() const
    {
        return QFileInfo(m_f->settingsPath()).dir().filePath(QStringLiteral("tavel-ablaeufe.cfg"));
    }

    void start(const QByteArray &routinesFile = {})
    {
        m_f = std::make_unique<MainWindowFixture>(std::unique_ptr<MSComm>(), false);
        if (!routinesFile.isNull())
            QVERIFY(writeFile(routinesPath(), routinesFile));
        m_f->begin();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_f->dialogs.messages.clear();
    }

    void plugIn()
    {
        m_nodes.push_back(std::make_unique<PtyDevice>());
        QFile::remove(m_link);
        QVERIFY(QFile::link(device().slavePath(), m_link));
    }

    void connectPort()
    {
        qputenv("TAVEL_COM1", QFile::encodeName(m_link));
        m_f->connectPort();
        QVERIFY(m_f->comm().PortOpen());
    }

    void setButton(int index, const QString &payload, bool clears = false)
    {
        m_f->window->state().AutomationButtons[size_t(index)]
            = { QStringLiteral("Taste %1").arg(index + 1), payload,
                  clears ? QStringLiteral("1") : QStringLiteral("0") };
    }

    void setRepeat(int row, int intervalMs, int count)
    {
        window().intervalBoxes[size_t(row)]->setValue(intervalMs);
        window().countBoxes[size_t(row)]->setValue(count);
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const RecordingDialogs::Box &box : m_f->dialogs.messages)
            texts << box.text;
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        m_link = m_links.filePath(QStringLiteral("usb-Tavel_Testgeraet-if00"));
        plugIn();
    }

    void cleanup()
    {
        m_f.reset();
        m_nodes.clear();
    }

    void openedWithF11AndEveryControlNamed()
    {
        start();
        QAction *item = m_f->action("MnFensterAblaeufe");
        QVERIFY(item);
        QCOMPARE(item->shortcut(), QKeySequence(Qt::Key_F11));
        item->trigger();
        FrmAblaeufe *shown = m_f->window->ablaeufe().loaded();
        QVERIFY(shown && shown->isVisible());
        for (QWidget *control : shown->findChildren<QWidget *>()) {
            if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(shown)
                || qobject_cast<QAbstractSpinBox *>(control->parentWidget()))
                continue;
            QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
        }
        // Counts are information: a screen reader reads them with their button.
        QCOMPARE(shown->sentLabels[0]->accessibleName(), QStringLiteral("Senden 1: 0 gesendet"));
    }

    // A repeat sends what a click on the button sends: the payload the
    // automation window shows now, echoed in the sent-data window, and the
    // received-data window emptied when the button's box is ticked.
    void repeatSendsThroughTheTransmitStep()
    {
        start();
        setButton(2, QStringLiteral("stored"), true);
        plugIn();
        connectPort();
        QVERIFY(device().write("old"));
        QTRY_COMPARE(m_f->window->empfang().get().log().size(), 3);
        m_f->window->automat().show().txtAutomat[2]->setText(QStringLiteral("ping\r"));
        setRepeat(2, 30, 3);
        window().startButtons[2]->click();
        QCOMPARE(device().read(15, 5000), QByteArray("ping\rping\rping\r"));
        QCOMPARE(device().readFor(150), QByteArray());
        QCOMPARE(
            m_f->window->sendefenster().get().Text1->text(), QStringLiteral("ping\rping\rping\r"));
        QCOMPARE(m_f->window->empfang().get().log().size(), 0);
        QTRY_COMPARE(window().sentLabels[2]->text(), QStringLiteral("3"));
        QCOMPARE(window().startButtons[2]->text(), QStringLiteral("&Start"));
        QCOMPARE(m_f->dialogs.messages.size(), 0);
    }

    void startWithoutConnectionOrCommandsSaysWhy()
    {
        start();
        setButton(0, QStringLiteral("x"));
        window().startButtons[0]->click();
        QCOMPARE(messageTexts(), QStringList { Messages::noConnection() });
        QCOMPARE(window().startButtons[0]->text(), QStringLiteral("&Start"));
        connectPort();
        window().startButtons[1]->click();
        QCOMPARE(messageTexts().value(1),
            QStringLiteral("Die Taste „Senden 2“ hat keine Daten zum Senden."));
        QVERIFY(!routines().anyRepeatRunning());
        QCOMPARE(device().readFor(100), QByteArray());
    }

    void ruleIsCheckedAsTypedSavedAndAnswers()
    {
        start();
        connectPort();
        RuleEditor &editor = *window().editor;
        editor.patternNotation->setCurrentIndex(1);
        editor.patternEdit->setText(QStringLiteral("4"));
        editor.payloadEdit->setText(QStringLiteral("Hallo\r"));
        QVERIFY(editor.problemLabel->text().startsWith(QStringLiteral("Das Muster „4“")));
        QCOMPARE(editor.problemLabel->accessibleName(), editor.problemLabel->text());
        QVERIFY(!window().applyButton->isEnabled());
        editor.patternEdit->setText(QStringLiteral("4F 4B"));
        QCOMPARE(editor.problemLabel->text(), QString());
        QVERIFY(window().applyButton->isEnabled());
        window().applyButton->click();
        QCOMPARE(window().ruleTable->rowCount(), 1);
        QVERIFY(contentsOf(routinesPath())
                    .contains("Regel1.Muster=Hex:4F 4B\n"
                              "Regel1.Antwort=Text:Hallo\\r\n"));

        QVERIFY(device().write("xxOK"));
        QCOMPARE(device().read(6, 3000), QByteArray("Hallo\r"));
        QTRY_COMPARE(window().ruleTable->item(0, 5)->text(), QStringLiteral("1"));
        QCOMPARE(window().ruleTable->item(0, 6)->text(), QStringLiteral("wartet"));
    }

    // A device that is pulled stops everything with one box, however many
    // repeats and rules ran; when it returns, nothing runs until started.
    void deviceLostStopsEverythingOnceAndNothingResumes()
    {
        start("Regel1.Muster=Text:GO\nRegel1.Antwort=Text:ok\n");
        setButton(0, QStringLiteral("A"));
        setButton(1, QStringLiteral("B"));
        connectPort();
        setRepeat(0, 10, 0);
        setRepeat(1, 15, 0);
        window().startButtons[0]->click();
        window().startButtons[1]->click();
        QCOMPARE(messageTexts(), QStringList());
        QVERIFY(device().read(6, 3000).size() >= 6);

        device().closeMaster();
        QFile::remove(m_link);
        QTRY_VERIFY(!m_f->comm().PortOpen());
        QTRY_COMPARE(m_f->dialogs.messages.size(), 1);
        QVERIFY(messageTexts().first().startsWith(QStringLiteral("Die Verbindung ist beendet.")));
        QTRY_COMPARE(window().startButtons[0]->text(), QStringLiteral("&Start"));
        QCOMPARE(window().startButtons[1]->text(), QStringLiteral("&Start"));
        QVERIFY(!window().answeringButton->isChecked());
        QCOMPARE(window().ruleTable->item(0, 6)->text(), QStringLiteral("angehalten"));

        plugIn();
        QTRY_VERIFY_WITH_TIMEOUT(m_f->comm().PortOpen(), 5000);
        QVERIFY(device().write("GO"));
        QCOMPARE(device().readFor(400), QByteArray());
        QCOMPARE(m_f->dialogs.messages.size(), 1);

        window().answeringButton->click();
        QVERIFY(device().write("GO"));
        QCOMPARE(device().read(2, 3000), QByteArray("ok"));
    }

    // The saved file brings back the numbers and the rules; the rules answer
    // as saved, and no repeat starts by itself.
    void savedRoutinesComeBackAndOnlyTheRulesRun()
    {
        start("Taste1.Wiederholen=250\nTaste1.Anzahl=7\n"
              "Regel1.Muster=Text:PING\nRegel1.Antwort=Taste:1\n");
        setButton(0, QStringLiteral("PONG"));
        connectPort();
        QCOMPARE(device().readFor(300), QByteArray());
        QVERIFY(device().write("PING"));
        QCOMPARE(device().read(4, 3000), QByteArray("PONG"));
        QCOMPARE(window().intervalBoxes[0]->value(), 250);
        QCOMPARE(window().countBoxes[0]->value(), 7);
        QCOMPARE(window().ruleTable->item(0, 1)->text(), QStringLiteral("Taste 1: Taste 1"));

        window().countBoxes[0]->setValue(0);
        m_f->window->close();
        QVERIFY(contentsOf(routinesPath()).contains("Taste1.Wiederholen=250\nTaste1.Anzahl=0\n"));
    }

    // Kept until the user changes something, then as the .bak beside the new file.
    void damagedFileIsReportedOnceAndKept()
    {
        const QByteArray damaged("Regel1.Muster=Text:A\nRegel1.Antwort=Taste:11\n");
        m_f = std::make_unique<MainWindowFixture>(std::unique_ptr<MSComm>(), false);
        QVERIFY(writeFile(routinesPath(), damaged));
        m_f->begin();
        QCOMPARE(messageTexts().filter(QStringLiteral("tavel-ablaeufe.cfg")).size(), 1);
        QCOMPARE(window().ruleTable->rowCount(), 0);
        QCOMPARE(contentsOf(routinesPath()), damaged);
        window().countBoxes[4]->setValue(3);
        QCOMPARE(contentsOf(routinesPath() + QStringLiteral(".bak")), damaged);
        QVERIFY(contentsOf(routinesPath()).contains("Taste5.Anzahl=3\n"));
    }
};

QTEST_MAIN(TestFrmAblaeufe)
#include "tst_frmablaeufe.moc"
