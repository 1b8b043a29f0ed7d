#include "app/statusbar.h"
#include "mainwindowfixture.h"
#include "settings/frmeinstellungen.h"

#include <QTest>

namespace {

const QString kNotConnected = QStringLiteral("Es besteht keine serielle Verbindung.");

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    FrmEinstellungen *m_settings = nullptr;

    QString panel(int n) const { return m_f->window->StatusBar1().panelText(n); }
    MSComm &comm() const { return m_f->window->MSComm1(); }

    // Unloads the settings window and loads it afresh from ConnectionSettings.
    void reloadSettings(std::array<std::int16_t, 5> choices)
    {
        m_f->window->einstellungen().unload();
        m_f->window->state().ConnectionSettings = choices;
        m_settings = &m_f->window->einstellungen().show();
    }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_settings = m_f->window->einstellungen().loaded();
    }

    void cleanup() { m_f.reset(); }

    void firstRunConnectsAt110N51OnCom1()
    {
        QVERIFY(!m_settings->looksConnected());
        QVERIFY(!m_settings->Command2->isEnabled());
        m_settings->Command3->click();
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(comm().PortOpen());
        QCOMPARE(comm().Settings(), QStringLiteral("110,N,5,1"));
        QCOMPARE(comm().CommPort(), 1);
        QCOMPARE(panel(1),
            QStringLiteral("Einstellungen: 110 Baud, 5 Datenbits, keine Parität, 1 Stopbit"));
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
        QCOMPARE(m_f->window->StatusBar1().panelToolTip(2),
            QStringLiteral("Gerät: ") + m_f->com1.slavePath());
        QVERIFY(m_settings->looksConnected());
        QVERIFY(m_settings->Command2->isEnabled());
    }

    void choicesMakeSettingsAndPanelTexts_data()
    {
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("settingsPanel");
        QTest::addColumn<QString>("connectionPanel");
        QTest::newRow("19200 Mark 7 2 on COM2")
            << QList<int> { 8, 1, 3, 2, 2 } << QStringLiteral("19200,M,7,2")
            << QStringLiteral("Einstellungen: 19200 Baud, 7 Datenbits, Mark Parität, 2 Stopbit")
            << QStringLiteral("Serielle Verbindung über COM2");
        QTest::newRow("9600 none 8 1")
            << QList<int> { 6, 0, 0, 3, 0 } << QStringLiteral("9600,N,8,1")
            << QStringLiteral("Einstellungen: 9600 Baud, 8 Datenbits, keine Parität, 1 Stopbit")
            << QStringLiteral("Serielle Verbindung über COM1");
        QTest::newRow("stored 1.5 stop bits with 5 data bits")
            << QList<int> { 11, 0, 1, 0, 1 } << QStringLiteral("56000,E,5,1.5")
            << QStringLiteral("Einstellungen: 56000 Baud, 5 Datenbits, gerade Parität, 1.5 Stopbit")
            << QStringLiteral("Serielle Verbindung über COM1");
        QTest::newRow("stored position 13 is 115200")
            << QList<int> { 13, 0, 0, 3, 0 } << QStringLiteral("115200,N,8,1")
            << QStringLiteral("Einstellungen: 115200 Baud, 8 Datenbits, keine Parität, 1 Stopbit")
            << QStringLiteral("Serielle Verbindung über COM1");
        QTest::newRow("stored position 16 is 921600")
            << QList<int> { 16, 0, 0, 3, 0 } << QStringLiteral("921600,N,8,1")
            << QStringLiteral("Einstellungen: 921600 Baud, 8 Datenbits, keine Parität, 1 Stopbit")
            << QStringLiteral("Serielle Verbindung über COM1");
    }

    void baudListKeepsItsTwelveAndAppendsTheFastRates()
    {
        QStringList items;
        for (int row = 0; row < m_settings->List2->count(); ++row)
            items << m_settings->List2->item(row)->text();
        QCOMPARE(items,
            QString("110 300 600 1200 2400 4800 9600 14400 19200 28800 38400 56000 "
                    "57600 115200 230400 460800 921600")
                .split(' '));
    }

    void choicesMakeSettingsAndPanelTexts()
    {
        QFETCH(QList<int>, choices);
        QFETCH(QString, settings);
        QFETCH(QString, settingsPanel);
        QFETCH(QString, connectionPanel);
        reloadSettings({ std::int16_t(choices[0]), std::int16_t(choices[1]),
            std::int16_t(choices[2]), std::int16_t(choices[3]), std::int16_t(choices[4]) });
        m_settings->Command3->click();
        QVERIFY2(
            m_f->dialogs.messages.isEmpty(), qPrintable(m_f->dialogs.messageTexts().join('|')));
        QCOMPARE(comm().Settings(), settings);
        QCOMPARE(panel(1), settingsPanel);
        QCOMPARE(panel(2), connectionPanel);
    }

    void storedValuesOutOfRangeSelectEachGroupsFirstEntry()
    {
        reloadSettings({ 99, 7, -3, 9, 5 });
        QCOMPARE(m_settings->List2->currentRow(), 0);
        QVERIFY(m_settings->Option1[0]->isChecked());
        QVERIFY(m_settings->Option2[0]->isChecked());
        QVERIFY(m_settings->Option3[0]->isChecked());
        QVERIFY(m_settings->Option4[0]->isChecked());
    }

    void storedBaudPositionMinusOneLeavesNoSelectionAndReportsError()
    {
        reloadSettings({ -1, 0, 0, 0, 0 });
        QVERIFY(m_settings->List2->selectedItems().isEmpty());
        m_settings->Command3->click();
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Fehler"));
        QVERIFY(m_f->dialogs.messages[0].text.startsWith(
            QStringLiteral("Fehler  380 wurde ausgelöst von MSComm1\r\n")));
        QVERIFY(!comm().PortOpen());
        QVERIFY(!m_settings->looksConnected());
        QCOMPARE(panel(2), QStringLiteral("Keine serielle Verbindung"));
        // Unloading keeps "no selection" for the next run.
        m_f->window->einstellungen().unload();
        QCOMPARE(m_f->window->state().ConnectionSettings[0], -1);
    }

    void ctrlClickCannotEmptyTheBaudList()
    {
        m_settings->show();
        const QRect row = m_settings->List2->visualItemRect(m_settings->List2->item(0));
        QTest::mouseClick(
            m_settings->List2->viewport(), Qt::LeftButton, Qt::ControlModifier, row.center());
        QCOMPARE(m_settings->List2->selectedItems().size(), 1);
        QCOMPARE(m_settings->List2->currentRow(), 0);
    }

    void portHeldElsewhereNamesTheChosenPort()
    {
        MSComm holder;
        QVERIFY(!holder.setCommPort(2));
        QVERIFY(!holder.setPortOpen(true));
        m_settings->Option1[1]->setChecked(true);
        m_settings->Command3->click();
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(m_f->dialogs.messages[0].text,
            QStringLiteral("COM2 wird von einem anderen Gerät benutzt und steht nicht zur "
                           "Verfügung."));
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Serieller Port-Fehler"));
        QVERIFY(!m_settings->looksConnected());
    }

    void failedReconnectKeepsTheEarlierLookAndPanels()
    {
        m_settings->Command3->click();
        MSComm holder;
        QVERIFY(!holder.setCommPort(2));
        QVERIFY(!holder.setPortOpen(true));
        m_settings->Option1[1]->setChecked(true);
        m_settings->Command3->click();
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QVERIFY(!comm().PortOpen());
        QVERIFY(m_settings->looksConnected());
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
    }

    void reconnectWhileConnectedReopensWithNewChoices()
    {
        m_settings->Command3->click();
        m_settings->List2->setCurrentRow(6);
        m_settings->Command3->click();
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(comm().PortOpen());
        QCOMPARE(comm().Settings(), QStringLiteral("9600,N,5,1"));
        QVERIFY(panel(1).startsWith(QStringLiteral("Einstellungen: 9600 Baud")));
    }

    void disconnectClosesAndRestoresTheLook()
    {
        m_settings->Command3->click();
        m_settings->Command2->click();
        QVERIFY(!comm().PortOpen());
        QCOMPARE(panel(1), QStringLiteral("Einstellungen"));
        QCOMPARE(panel(2), QStringLiteral("Keine serielle Verbindung"));
        QVERIFY(!m_settings->looksConnected());
        QVERIFY(!m_settings->Command2->isEnabled());
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QCOMPARE(m_f->window->StatusBar1().panelToolTip(2), QString());
    }

    void disconnectWhileClosedOnlyTellsSo()
    {
        m_settings->Command3->click();
        QVERIFY(!comm().setPortOpen(false));
        m_settings->Command2->click();
        QCOMPARE(m_f->dialogs.messageTexts(), QStringList { kNotConnected });
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        QVERIFY(m_settings->looksConnected());
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
    }

    void closeBoxWhileConnectedGivesFreshLookOverOpenPort()
    {
        m_settings->Command3->click();
        m_settings->frame()->close();
        m_settings = &m_f->window->einstellungen().show();
        QVERIFY(!m_settings->looksConnected());
        QVERIFY(!m_settings->Command2->isEnabled());
        QVERIFY(comm().PortOpen());
        m_settings->Command3->click();
        QVERIFY(comm().PortOpen());
        QVERIFY(m_settings->looksConnected());
    }

    void hiddenWindowKeepsChoicesUntilUnloaded()
    {
        m_settings->Option2[2]->setChecked(true);
        m_settings->Command1->click();
        QVERIFY(!m_settings->frame()->isVisible());
        QCOMPARE(m_f->window->state().ConnectionSettings[2], 0);
        m_f->window->einstellungen().unload();
        QCOMPARE(m_f->window->state().ConnectionSettings[2], 2);
    }
};

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
