#include "accessibilityrecorder.h"
#include "app/statusbar.h"
#include "automation/frmautomat.h"
#include "mainwindowfixture.h"
#include "settings/frmeinstellungen.h"
#include "windows/linelamp.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

// What a screen reader learns of the texts that carry information, with
// accessibility switched on as a screen reader's bridge switches it on.
class TestAccessibility : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AccessibilityRecorder> m_recorder;
    std::unique_ptr<MainWindowFixture> m_f;

    using Recorder = AccessibilityRecorder;
    QLabel *panel(int n) const { return m_f->window->StatusBar1().panel(n); }
    FrmEinstellungen &settings() const { return *m_f->window->einstellungen().loaded(); }

    // The indicator picture that is showing, which is the one a reader finds.
    QLabel *indicator() const
    {
        for (QLabel *image : settings().Image1) {
            if (image->isVisibleTo(&settings()))
                return image;
        }
        return nullptr;
    }

    // Each change is announced; what is read is checked by the caller.
    void expectAnnounced(const QList<QObject *> &objects, QAccessible::Event event)
    {
        for (QObject *object : objects)
            QVERIFY2(m_recorder->saw(object, event), qPrintable(Recorder::name(object)));
        m_recorder->clear();
    }

private Q_SLOTS:
    void init()
    {
        m_recorder = std::make_unique<AccessibilityRecorder>();
        QVERIFY(m_recorder->isActive());
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_recorder->clear();
    }

    void cleanup()
    {
        m_f.reset();
        m_recorder.reset();
    }

    // The panels read as they show (their texts are tst_startup's and
    // tst_connection's), each change announced.
    void statusPanelsAndIndicatorReadAndAnnounceTheConnection()
    {
        const auto expectReadAsShown = [this] {
            for (int n : { 1, 2 })
                QCOMPARE(Recorder::name(panel(n)), panel(n)->text());
        };
        expectReadAsShown();
        QCOMPARE(Recorder::description(panel(1)), QStringLiteral("Verbindungseinstellungen"));
        QCOMPARE(Recorder::description(panel(2)), QStringLiteral("Verbindungsstatus"));
        QCOMPARE(
            Recorder::name(indicator()), QStringLiteral("Verbindungsanzeige: nicht verbunden"));

        settings().Command3->click();
        expectReadAsShown();
        QCOMPARE(Recorder::name(indicator()), QStringLiteral("Verbindungsanzeige: verbunden"));
        // The red ball is a picture of its own, which appears.
        QVERIFY(m_recorder->saw(indicator(), QAccessible::ObjectShow));
        expectAnnounced({ panel(1), panel(2) }, QAccessible::NameChanged);

        settings().Command2->click();
        expectReadAsShown();
        expectAnnounced({ panel(1), panel(2) }, QAccessible::NameChanged);
    }

    void renamedAutomationButtonReadsAndAnnouncesItsNewCaption()
    {
        frmAutomat &automat = m_f->window->automat().show();
        QCOMPARE(Recorder::name(automat.CmdAutomat[4]), QStringLiteral("Senden 5"));
        m_recorder->clear();
        m_f->dialogs.inputAnswers << QStringLiteral("&Reset");
        automat.CmdAutomat_RightButton(4);
        QCOMPARE(Recorder::name(automat.CmdAutomat[4]), QStringLiteral("Reset"));
        expectAnnounced({ automat.CmdAutomat[4] }, QAccessible::NameChanged);
    }

    // The lines window's lamps read as line and state, each change announced.
    void lineLampReadsAndAnnouncesItsState()
    {
        LineLamp lamp(QStringLiteral("DCD"));
        QCOMPARE(Recorder::name(&lamp), QStringLiteral("DCD: unbekannt"));
        lamp.setState(LineLamp::State::On);
        QCOMPARE(Recorder::name(&lamp), QStringLiteral("DCD: ein"));
        expectAnnounced({ &lamp }, QAccessible::NameChanged);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
