#include "app/replugcommand.h"
#include "devices/reconnector.h"
#include "flockholder.h"
#include "mainwindowfixture.h"
#include "ser2netserver.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <vector>

// "Verbindung herstellen" and "Verbindung trennen" in the settings window, and
// a device that vanishes behind a name that stays, as /dev/serial/by-id gives
// a USB adapter: it comes back under a new node the same name leads to.
class TestConnection : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;
    FrmEinstellungen *m_settings = nullptr;
    QTemporaryDir m_folder;
    QString m_link;
    // Every node the device had; the earlier ones stay allocated, so that
    // each return brings a new node, as ttyUSB0 coming back as ttyUSB1.
    std::vector<std::unique_ptr<PtyDevice>> m_nodes;

    QString panel(int n) const { return m_f->panel(n); }
    QString panelToolTip() const { return m_f->window->StatusBar1().panelToolTip(2); }
    MSComm &comm() const { return m_f->comm(); }
    Reconnector &reconnector() const { return m_f->window->replugCommand().reconnector(); }
    void connectPort() { m_settings->Command3->click(); }

    void reloadSettings(const QList<int> &choices)
    {
        m_f->window->einstellungen().unload();
        for (int i = 0; i < 5; ++i)
            m_f->window->state().ConnectionSettings[i] = std::int16_t(choices[i]);
        m_settings = &m_f->window->einstellungen().show();
    }

    void holdCom2Elsewhere(MSComm &holder)
    {
        QVERIFY(!holder.setCommPort(2));
        QVERIFY(!holder.setPortOpen(true));
        m_settings->Option1[1]->setChecked(true);
    }

    PtyDevice &device() { return *m_nodes.back(); }
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

    // Connected at 115200 baud on COM1 through the link.
    void connectThroughLink()
    {
        m_link = m_folder.filePath(QStringLiteral("usb-Tavel_Testgeraet-if00"));
        m_nodes.clear();
        plugIn();
        qputenv("TAVEL_COM1", QFile::encodeName(m_link));
        m_settings->List2->setCurrentRow(13);
        connectPort();
        QVERIFY(comm().PortOpen());
        expectConnectedLook();
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

    void plugBackIn()
    {
        plugIn();
        QTRY_VERIFY_WITH_TIMEOUT(comm().PortOpen(), 5000);
    }

    void expectConnectedLook()
    {
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
        QCOMPARE(
            panelToolTip(), QStringLiteral("Gerät: %1 (%2)").arg(m_link, device().slavePath()));
        QVERIFY(m_settings->looksConnected());
        QVERIFY(m_settings->Command2->isEnabled());
    }

    void expectDisconnectedLook()
    {
        QCOMPARE(panel(1), QStringLiteral("Einstellungen"));
        QCOMPARE(panel(2), QStringLiteral("Keine serielle Verbindung"));
        QCOMPARE(panelToolTip(), QString());
        QVERIFY(!m_settings->looksConnected());
        QVERIFY(!m_settings->Command2->isEnabled());
    }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
        m_settings = m_f->settings();
    }

    void cleanup()
    {
        m_f.reset();
        m_nodes.clear();
    }

    // The window hands its controls' positions to ConnectionChoices, whose
    // rows test the texts each position gives; here the stored choices reach
    // the port and the panels through the window.
    void choicesMakeSettingsAndPanelTexts_data()
    {
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("settingsPanel");
        QTest::addColumn<int>("port");
        QTest::newRow("first run")
            << QList<int> {} << QStringLiteral("110,N,5,1")
            << QStringLiteral("110 Baud, 5 Datenbits, keine Parität, 1 Stopbit") << 1;
        QTest::newRow("stored values out of range: each group's first")
            << QList<int> { 99, 7, -3, 9, 5 } << QStringLiteral("110,N,5,1")
            << QStringLiteral("110 Baud, 5 Datenbits, keine Parität, 1 Stopbit") << 1;
        QTest::newRow("19200 Mark 7 2 on COM2")
            << QList<int> { 8, 1, 3, 2, 2 } << QStringLiteral("19200,M,7,2")
            << QStringLiteral("19200 Baud, 7 Datenbits, Mark Parität, 2 Stopbit") << 2;
        QTest::newRow("stored 1.5 stop bits with 5 data bits")
            << QList<int> { 11, 0, 1, 0, 1 } << QStringLiteral("56000,E,5,1.5")
            << QStringLiteral("56000 Baud, 5 Datenbits, gerade Parität, 1.5 Stopbit") << 1;
    }
    void choicesMakeSettingsAndPanelTexts()
    {
        QFETCH(QList<int>, choices);
        QFETCH(QString, settings);
        QFETCH(QString, settingsPanel);
        QFETCH(int, port);
        if (!choices.isEmpty())
            reloadSettings(choices);
        QVERIFY(!m_settings->looksConnected() && !m_settings->Command2->isEnabled());
        connectPort();
        QVERIFY2(
            m_f->dialogs.messages.isEmpty(), qPrintable(m_f->dialogs.messageTexts().join('|')));
        QCOMPARE(comm().Settings(), settings);
        QCOMPARE(panel(1), QStringLiteral("Einstellungen: ") + settingsPanel);
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM%1").arg(port));
        QCOMPARE(panelToolTip(),
            QStringLiteral("Gerät: ") + (port == 1 ? m_f->com1 : m_f->com2).slavePath());
        QVERIFY(m_settings->looksConnected() && m_settings->Command2->isEnabled());
    }

    void storedBaudPositionMinusOneLeavesNoSelectionAndReportsError()
    {
        reloadSettings({ -1, 0, 0, 0, 0 });
        QVERIFY(m_settings->List2->selectedItems().isEmpty());
        connectPort();
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
        // The list offers every rate, so that stored positions up to 16 select theirs.
        QCOMPARE(m_settings->List2->count(), 17);
        QCOMPARE(m_settings->List2->item(16)->text(), QStringLiteral("921600"));
        m_settings->show();
        const QRect row = m_settings->List2->visualItemRect(m_settings->List2->item(0));
        QTest::mouseClick(
            m_settings->List2->viewport(), Qt::LeftButton, Qt::ControlModifier, row.center());
        QCOMPARE(m_settings->List2->selectedItems().size(), 1);
        QCOMPARE(m_settings->List2->currentRow(), 0);
    }

    // A port held elsewhere is named; a connection made before keeps its look.
    void portHeldElsewhereNamesThePortAndKeepsTheEarlierLook()
    {
        MSComm holder;
        holdCom2Elsewhere(holder);
        connectPort();
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(m_f->dialogs.messages[0].text,
            QStringLiteral("COM2 wird von einem anderen Gerät benutzt und steht nicht zur "
                           "Verfügung."));
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Serieller Port-Fehler"));
        QVERIFY(!m_settings->looksConnected());

        m_settings->Option1[0]->setChecked(true);
        connectPort();
        m_settings->Option1[1]->setChecked(true);
        connectPort();
        QCOMPARE(m_f->dialogs.messages.size(), 2);
        QVERIFY(!comm().PortOpen());
        QVERIFY(m_settings->looksConnected());
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
    }

    // The box keeps its one sentence; the port's tool tip names who holds
    // the device, until a connect succeeds or the port stands for another.
    void heldPortsToolTipNamesTheHolderUntilConnectedOrChanged()
    {
        QRadioButton *com2 = m_settings->Option1[1];
        com2->setChecked(true);
        const QString free = com2->toolTip();
        const auto withHolder = [&free](qint64 pid) {
            QStringList lines = free.split(QLatin1Char('\n'));
            lines.insert(1, QStringLiteral("belegt von flock (PID %1)").arg(pid));
            return lines.join(QLatin1Char('\n'));
        };
        for (bool deviceChanges : { false, true }) {
            FlockHolder holder(m_f->com2.slavePath());
            QVERIFY(holder.held);
            connectPort();
            QCOMPARE(m_f->dialogs.messages.last().title, QStringLiteral("Serieller Port-Fehler"));
            QCOMPARE(com2->toolTip(), withHolder(holder.pid));
            holder.release();
            if (deviceChanges)
                break;
            connectPort();
            QVERIFY(comm().PortOpen());
            QCOMPARE(com2->toolTip(), free);
            m_settings->Command2->click();
        }
        PtyDevice other;
        qputenv("TAVEL_COM2", other.slavePath().toLocal8Bit());
        m_settings->updatePortToolTips();
        QCOMPARE(com2->toolTip(), QString(free).replace(m_f->com2.slavePath(), other.slavePath()));
    }

    // "Verbindung trennen" with the port closed behind the window's back only
    // says so; otherwise it closes the port and gives the unconnected look.
    void disconnectClosesOrTellsThereIsNoConnection()
    {
        connectPort();
        QVERIFY(!comm().setPortOpen(false));
        m_settings->Command2->click();
        QCOMPARE(m_f->dialogs.messageTexts(),
            QStringList { QStringLiteral("Es besteht keine serielle Verbindung.") });
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        QVERIFY(m_settings->looksConnected());
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
        connectPort();
        m_settings->Command2->click();
        QVERIFY(!comm().PortOpen());
        expectDisconnectedLook();
        QCOMPARE(m_f->dialogs.messages.size(), 1);
    }

    // Hidden, the window keeps its choices until it is unloaded; closed and
    // shown again, it looks unconnected over the open port, and connecting
    // then reopens it with the choices made.
    void hiddenOrClosedWindowKeepsTheConnection()
    {
        m_settings->Option2[2]->setChecked(true);
        m_settings->Command1->click();
        QVERIFY(!m_settings->frame()->isVisible());
        QCOMPARE(m_f->window->state().ConnectionSettings[2], 0);
        m_f->window->einstellungen().unload();
        QCOMPARE(m_f->window->state().ConnectionSettings[2], 2);

        m_settings = &m_f->window->einstellungen().show();
        connectPort();
        m_settings->frame()->close();
        m_settings = &m_f->window->einstellungen().show();
        QVERIFY(!m_settings->looksConnected());
        QVERIFY(!m_settings->Command2->isEnabled());
        QVERIFY(comm().PortOpen());
        m_settings->List2->setCurrentRow(6);
        connectPort();
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(comm().PortOpen());
        QCOMPARE(comm().Settings(), QStringLiteral("9600,O,5,1"));
        QVERIFY(panel(1).startsWith(QStringLiteral("Einstellungen: 9600 Baud")));
        QVERIFY(m_settings->looksConnected());
    }

    void streamSurvivesThreeReturnsEveryByteOnceInOrder()
    {
        connectThroughLink();
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
            QVERIFY(m_settings->looksConnected());
            QCOMPARE(panel(1), settingsPanel);
            plugBackIn();
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

    // While waiting nothing is said; "Verbindung trennen" ends the wait, and
    // the device's return then opens nothing.
    void disconnectWhileWaitingStopsWaitingWithoutAMessage()
    {
        connectThroughLink();
        pull();
        QTest::qWait(1200);
        QVERIFY(reconnector().isWaiting());
        m_settings->Command2->click();
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(!reconnector().isWaiting());
        expectDisconnectedLook();
        plugIn();
        QTest::qWait(1200);
        QVERIFY(!comm().PortOpen());
    }

    void connectWhileWaitingEndsTheWait()
    {
        connectThroughLink();
        pull();
        // A connect that fails still ends the wait.
        MSComm holder;
        holdCom2Elsewhere(holder);
        connectPort();
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QVERIFY(!reconnector().isWaiting());
        expectDisconnectedLook();
        m_settings->Option1[0]->setChecked(true);
        PtyDevice other;
        qputenv("TAVEL_COM1", QFile::encodeName(other.slavePath()));
        connectPort();
        QVERIFY(comm().PortOpen());
        QVERIFY(!reconnector().isWaiting());
        QCOMPARE(comm().openPath(), other.slavePath());
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
    }

    void bytesQueuedAtTheLossAreReportedOnceAfterTheReturn()
    {
        connectThroughLink();
        // The device reads nothing, so most of this waits in the port object.
        QVERIFY(!comm().Output(QByteArray(1 << 20, 'x')));
        QTRY_VERIFY(comm().outputPassedOn() > 0);
        pull();
        QVERIFY(m_f->dialogs.messages.isEmpty());
        plugBackIn();
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
        // A return with the settings window closed rewrites the panels, and
        // tells of nothing that did not leave.
        m_settings->frame()->close();
        pull();
        plugBackIn();
        QCOMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
        QVERIFY(panel(1).startsWith(QStringLiteral("Einstellungen: 115200 Baud")));
    }

    // A server reached over the network connects on the event loop: the
    // status bar says it is trying and whom, and either button gives up.
    void connectingCanBeGivenUpWithEitherButton_data()
    {
        QTest::addColumn<bool>("secondClick");
        QTest::newRow("Verbindung herstellen noch einmal") << true;
        QTest::newRow("Verbindung trennen") << false;
    }
    void connectingCanBeGivenUpWithEitherButton()
    {
        QFETCH(bool, secondClick);
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        qputenv("TAVEL_COM1",
            QByteArray("rfc2217://127.0.0.1:") + QByteArray::number(silent.serverPort()));
        connectPort();
        QCOMPARE(panel(2), QStringLiteral("Verbindung über COM1 wird hergestellt …"));
        QCOMPARE(panelToolTip(),
            QStringLiteral("Server: 127.0.0.1:%1 (RFC 2217)").arg(silent.serverPort()));
        QVERIFY(!m_settings->looksConnected());
        QVERIFY(m_settings->Command2->isEnabled());
        QTest::qWait(200);
        QVERIFY(comm().isConnecting());

        (secondClick ? m_settings->Command3 : m_settings->Command2)->click();
        QVERIFY(!comm().isConnecting());
        expectDisconnectedLook();
        QTest::qWait(100);
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    void serverPortConnectsAndNamesTheServer_data()
    {
        QTest::addColumn<bool>("telnet");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("RFC 2217") << true << QStringLiteral("Server: 127.0.0.1:%1 (RFC 2217)");
        QTest::newRow("rohes TCP")
            << false
            << QStringLiteral("Server: 127.0.0.1:%1 (rohes TCP: die Einstellungen gelten nur "
                              "hier, nicht am Port des Servers; die Leitungen sind unbekannt)");
    }
    void serverPortConnectsAndNamesTheServer()
    {
        QFETCH(bool, telnet);
        QFETCH(QString, toolTip);
        if (!Ser2NetServer::isInstalled())
            QSKIP("ser2net is needed (./test installs it)");
        PtyDevice device;
        Ser2NetServer server;
        QVERIFY2(server.start(device.slavePath()), qPrintable(server.errorString()));
        const quint16 port = telnet ? server.telnetPort() : server.rawPort();
        qputenv("TAVEL_COM1",
            QStringLiteral("%1://127.0.0.1:%2").arg(telnet ? "rfc2217" : "tcp").arg(port).toUtf8());
        m_settings->List2->setCurrentRow(13);
        connectPort();
        QTRY_COMPARE(panel(2), QStringLiteral("Serielle Verbindung über COM1"));
        QCOMPARE(panelToolTip(), toolTip.arg(port));
        QVERIFY2(panel(1).startsWith(QStringLiteral("Einstellungen: 115200 Baud,")),
            qPrintable(panel(1)));
        QVERIFY(m_settings->looksConnected());
        QVERIFY(m_f->dialogs.messages.isEmpty());
        QVERIFY(!comm().Output("hallo"));
        QCOMPARE(device.read(5), QByteArray("hallo"));
    }

    void refusedConnectionIsAnErrorAndStaysClosed()
    {
        quint16 unused = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            unused = probe.serverPort();
        }
        qputenv("TAVEL_COM1", QByteArray("rfc2217://127.0.0.1:") + QByteArray::number(unused));
        connectPort();
        QTRY_COMPARE(m_f->dialogs.messages.size(), 1);
        QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Fehler"));
        QVERIFY2(m_f->dialogs.messages[0].text.contains(
                     QStringLiteral("COM1 (rfc2217://127.0.0.1:%1) konnte nicht verbunden werden "
                                    "(Verbindung abgelehnt).")
                         .arg(unused)),
            qPrintable(m_f->dialogs.messages[0].text));
        QVERIFY(!comm().PortOpen());
        expectDisconnectedLook();
    }
};

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
