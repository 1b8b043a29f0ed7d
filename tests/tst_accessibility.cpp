#include "accessibilityrecorder.h"
#include "app/statusbar.h"
#include "automation/frmautomat.h"
#include "mainwindowfixture.h"
#include "settings/frmeinstellungen.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

// What a screen reader learns of the texts that carry information: the status
// panels, the connection indicator, the automation buttons the user renames.
// Read through Qt's accessibility interfaces, with accessibility switched on
// as a screen reader's bridge switches it on.
class TestAccessibility : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AccessibilityRecorder> m_recorder;
    std::unique_ptr<MainWindowFixture> m_f;

    QLabel *panel(int n) const { return m_f->window->StatusBar1().panel(n); }
    FrmEinstellungen &settings() const { return *m_f->window->einstellungen().loaded(); }

    // The indicator picture that is showing, which is the one a reader finds.
    QLabel *visibleIndicator() const
    {
        for (QLabel *image : settings().Image1) {
            if (image->isVisibleTo(&settings()))
                return image;
        }
        return nullptr;
    }

private Q_SLOTS:
    void init()
    {
        m_recorder = std::make_unique<AccessibilityRecorder>();
        QVERIFY(m_recorder->isActive());
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
    }

    void cleanup()
    {
        m_f.reset();
        m_recorder.reset();
    }

    void statusPanelsReadAsTheirTextAndAnnounceEachChange()
    {
        QCOMPARE(AccessibilityRecorder::name(panel(1)), QStringLiteral("Einstellungen "));
        QCOMPARE(
            AccessibilityRecorder::name(panel(2)), QStringLiteral("Keine serielle Verbindung"));
        QCOMPARE(AccessibilityRecorder::description(panel(1)),
            QStringLiteral("Verbindungseinstellungen"));
        QCOMPARE(AccessibilityRecorder::description(panel(2)), QStringLiteral("Verbindungsstatus"));

        m_recorder->clear();
        settings().Command3->click();
        QCOMPARE(AccessibilityRecorder::name(panel(1)),
            QStringLiteral("Einstellungen: 110 Baud, 5 Datenbits, keine Parität, 1 Stopbit"));
        QCOMPARE(
            AccessibilityRecorder::name(panel(2)), QStringLiteral("Serielle Verbindung über COM1"));
        QVERIFY(m_recorder->saw(panel(1), QAccessible::NameChanged));
        QVERIFY(m_recorder->saw(panel(2), QAccessible::NameChanged));

        m_recorder->clear();
        settings().Command2->click();
        QCOMPARE(
            AccessibilityRecorder::name(panel(2)), QStringLiteral("Keine serielle Verbindung"));
        QVERIFY(m_recorder->saw(panel(1), QAccessible::NameChanged));
        QVERIFY(m_recorder->saw(panel(2), QAccessible::NameChanged));
    }

    void indicatorSaysWhetherConnected()
    {
        QCOMPARE(AccessibilityRecorder::name(visibleIndicator()),
            QStringLiteral("Verbindungsanzeige: nicht verbunden"));
        m_recorder->clear();
        settings().Command3->click();
        QCOMPARE(AccessibilityRecorder::name(visibleIndicator()),
            QStringLiteral("Verbindungsanzeige: verbunden"));
        QVERIFY(m_recorder->saw(visibleIndicator(), QAccessible::ObjectShow));
    }

    void renamedAutomationButtonReadsAndAnnouncesItsNewCaption()
    {
        frmAutomat &automat = m_f->window->automat().show();
        QCOMPARE(AccessibilityRecorder::name(automat.CmdAutomat[4]), QStringLiteral("Senden 5"));
        m_recorder->clear();
        m_f->dialogs.inputAnswers << QStringLiteral("&Reset");
        automat.CmdAutomat_RightButton(4);
        QCOMPARE(AccessibilityRecorder::name(automat.CmdAutomat[4]), QStringLiteral("Reset"));
        QVERIFY(m_recorder->saw(automat.CmdAutomat[4], QAccessible::NameChanged));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
