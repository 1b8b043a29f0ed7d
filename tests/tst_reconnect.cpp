#include "app/statusbar.h"
#include "mainwindowfixture.h"
#include "serial/reconnector.h"
#include "settings/frmeinstellungen.h"
#include "traffic/trafficlog.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"

#include <QRegularExpression>
#include <QTest>
#include <vector>

// A device behind a name that stays, as /dev/serial/by-id gives a USB
// adapter (and the simulator's --link a pseudo-terminal): it vanishes, and
// comes back under a new node that the same name leads to.
class TestReconnect : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    QTemporaryDir m_folder;
    QString m_link;
    // Every node the device had; the earlier ones stay allocated, so that
    // each return brings a new node, as ttyUSB0 coming back as ttyUSB1.
    std::vector<std::unique_ptr<PtyDevice>> m_nodes;

    PtyDevice &device() { return *m_nodes.back(); }
    MSComm &comm() const { return m_f->window->MSComm1(); }
    FrmEinstellungen *settings() const { return m_f->window->einstellungen().loaded(); }
    Reconnector &reconnector() const { return m_f->window->reconnector(); }
    QString panel(int n) const { return m_f->window->StatusBar1().panelText(n); }
    QString panelToolTip() const { return m_f->window->StatusBar1().panelToolTip(2); }
    qint64 shown() const
    {
        const FrmEmpfang *received = m_f->window->empfang().loaded();
        return received ? received->log().size() : 0;
    }

    void plugIn()
    {
        m_nodes.push_back(std::make_unique<PtyDevice>());
        QVERIFY2(device().isOpen(), qPrintable(device().errorString()));
        QFile::remove(m_link);
        QVERIFY(QFile::link(device().slavePath(), m_link));
    }

    void pull()
    {
        device().closeMaster();
        QFile::remove(m_link);
        QTRY_COMPARE(
            panel(2), QStringLiteral("Verbindung über COM1 unterbrochen – warte auf das Gerät"));
        QCOMPARE(panelToolTip(), QStringLiteral("Warte auf das Gerät ") + m_link);
        QVERIFY(!comm().PortOpen());
        QVERIFY(reconnector().isWaiting());
    }

    void expectConnectedLook()
    {
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
        QCOMPARE(
            panelToolTip(), QStringLiteral("Gerät: %1 (%2)").arg(m_link, device().slavePath()));
        QVERIFY(settings()->looksConnected());
        QVERIFY(settings()->Command2->isEnabled());
    }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_link = m_folder.filePath(QStringLiteral("usb-Tavel_Testgeraet-if00"));
        m_nodes.clear();
        plugIn();
        qputenv("TAVEL_COM1", QFile::encodeName(m_link));
        settings()->List2->setCurrentRow(13);
        settings()->Command3->click();
        QVERIFY(comm().PortOpen());
        expectConnectedLook();
    }

    void cleanup()
    {
        m_f.reset();
        m_nodes.clear();
    }

    void streamSurvivesThreeReturnsEveryByteOnceInOrder()
    {
        const QString settingsPanel = panel(1);
        QByteArray expected;
        for (int round = 0; round <= 3; ++round) {
            for (int chunk = 0; chunk < 4; ++chunk) {
                QByteArray bytes(3000, Qt::Uninitialized);
                for (int i = 0; i < bytes.size(); ++i)
                    bytes[i] = char((round * 4 + chunk) * 7 + i);
                QVERIFY(device().write(bytes));
                expected += bytes;
            }
            QTRY_COMPARE(shown(), qint64(expected.size()));
            if (round == 3)
                break;
            pull();
            QVERIFY(settings()->looksConnected());
            QCOMPARE(panel(1), settingsPanel);
            plugIn();
            QTRY_VERIFY_WITH_TIMEOUT(comm().PortOpen(), 5000);
            expectConnectedLook();
            QCOMPARE(comm().Settings(), QStringLiteral("115200,N,5,1"));
            QVERIFY(!comm().Output("ping"));
            QCOMPARE(device().read(4), QByteArray("ping"));
        }
        QCOMPARE(m_f->window->empfang().loaded()->log().bytes(0, shown()), expected);
        QCOMPARE(panel(1), settingsPanel);
        QVERIFY2(
            m_f->dialogs.messages.isEmpty(), qPrintable(m_f->dialogs.messageTexts().join('|')));
    }

    void deviceThatNeverReturnsLeavesTavelWaitingQuietly()
    {
        pull();
        QVERIFY(reconnector().lookInterval() >= 500);
        // Several looks find nothing; nothing is said meanwhile.
        QTest::qWait(1600);
        QVERIFY(reconnector().isWaiting());
        QVERIFY(!comm().PortOpen());
        QVERIFY(m_f->dialogs.messages.isEmpty());
        // Sending is answered as on any closed port.
        FrmEingabe &input = m_f->window->eingabe().get();
        input.OptionText->setChecked(true);
        input.Text1->setText(QStringLiteral("x"));
        input.Command2->click();
        QCOMPARE(m_f->dialogs.messageTexts(),
            QStringList { QStringLiteral("Es besteht keine serielle Verbindung.") });
    }

    void disconnectWhileWaitingStopsWaitingWithoutAMessage()
    {
        pull();
        settings()->Command2->click();
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(!reconnector().isWaiting());
        QCOMPARE(panel(1), QStringLiteral("Einstellungen"));
        QCOMPARE(panel(2), QStringLiteral("Keine serielle Verbindung"));
        QCOMPARE(panelToolTip(), QString());
        QVERIFY(!settings()->looksConnected());
        QVERIFY(!settings()->Command2->isEnabled());
        plugIn();
        QTest::qWait(1200);
        QVERIFY(!comm().PortOpen());
    }

    void connectWhileWaitingConnectsNormally()
    {
        pull();
        PtyDevice other;
        qputenv("TAVEL_COM1", QFile::encodeName(other.slavePath()));
        settings()->Command3->click();
        QVERIFY(comm().PortOpen());
        QVERIFY(!reconnector().isWaiting());
        QCOMPARE(comm().openPath(), other.slavePath());
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    void bytesQueuedAtTheLossAreReportedOnceAfterTheReturn()
    {
        // The device reads nothing, so most of this waits in the port object.
        QVERIFY(!comm().Output(QByteArray(1 << 20, 'x')));
        QTRY_VERIFY(comm().outputPassedOn() > 0);
        pull();
        QVERIFY(m_f->dialogs.messages.isEmpty());
        plugIn();
        QTRY_VERIFY_WITH_TIMEOUT(comm().PortOpen(), 5000);
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("^Als die Verbindung über COM1 abbrach, waren "
                                                "([0-9.]+) Bytes noch nicht gesendet\\."))
                  .match(m_f->dialogs.messages[0].text);
        QVERIFY2(match.hasMatch(), qPrintable(m_f->dialogs.messages[0].text));
        const qint64 lost = match.captured(1).remove(QLatin1Char('.')).toLongLong();
        QVERIFY(lost > 0 && lost < (1 << 20));
        // Nothing of it reached the device that came back.
        QVERIFY(!comm().Output("z"));
        QCOMPARE(device().read(1), QByteArray("z"));
        pull();
        plugIn();
        QTRY_VERIFY_WITH_TIMEOUT(comm().PortOpen(), 5000);
        QCOMPARE(m_f->dialogs.messages.size(), 1);
    }

    void returnWithTheSettingsWindowClosedRewritesThePanels()
    {
        settings()->frame()->close();
        pull();
        plugIn();
        QTRY_VERIFY_WITH_TIMEOUT(comm().PortOpen(), 5000);
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
        QVERIFY(panel(1).startsWith(QStringLiteral("Einstellungen: 115200 Baud")));
    }
};

QTEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"
