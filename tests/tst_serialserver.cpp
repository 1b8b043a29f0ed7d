#include "devices/reconnector.h"
#include "linedouble.h"
#include "ptydevice.h"
#include "ser2netserver.h"
#include "serial/linebits.h"
#include "serial/mscomm.h"
#include "serial/portlines.h"
#include "serial/rawtcplinedriver.h"
#include "serial/remotelinedriver.h"
#include "testbytes.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <sys/ioctl.h>
#include <termios.h>

// The port object with COM1 on a port of Debian's ser2net, on 127.0.0.1,
// serving a pty the test plays as the device: bytes both ways, the line
// settings and the wires on the server's port, a server that goes and comes
// back, and connections that fail or hang.
class tst_SerialServer : public QObject
{
    Q_OBJECT

private:
    // The port object as the program uses it, keeping what it received.
    struct Session
    {
        MSComm comm;
        QByteArray received;
        bool opened = false;
        std::optional<CommError> failure;

        Session()
        {
            QObject::connect(&comm, &MSComm::OnComm, &comm, [this] {
                if (comm.CommEvent() == MSComm::comEvReceive)
                    received += comm.Input();
            });
            QObject::connect(&comm, &MSComm::opened, &comm, [this] { opened = true; });
            QObject::connect(&comm, &MSComm::openFailed, &comm,
                [this](const CommError &error) { failure = error; });
        }
        // Starts connecting COM1 to the address.
        void start(const QString &address, const QString &settings = QStringLiteral("9600,N,8,1"))
        {
            qputenv("TAVEL_COM1", address.toUtf8());
            QVERIFY(!comm.setCommPort(1));
            QVERIFY(!comm.setSettings(settings));
            const CommResult refused = comm.setPortOpen(true);
            QVERIFY2(!refused, refused ? qPrintable(refused->description) : "");
        }
        void open(const QString &address, const QString &settings = QStringLiteral("9600,N,8,1"))
        {
            start(address, settings);
            QTRY_VERIFY(opened || failure);
            QVERIFY2(!failure, failure ? qPrintable(failure->description) : "");
            QVERIFY(comm.PortOpen());
        }
    };

    PtyDevice m_device;
    Ser2NetServer m_server;

    QString telnetAddress(const Ser2NetServer &server) const
    {
        return QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.telnetPort());
    }
    QString addressOf(const QString &kind) const
    {
        return kind == QLatin1String("rfc2217")
            ? telnetAddress(m_server)
            : QStringLiteral("tcp://127.0.0.1:%1").arg(m_server.rawPort());
    }
    termios deviceSettings() const
    {
        termios settings = {};
        ::tcgetattr(m_device.slaveFd(), &settings);
        return settings;
    }
    speed_t deviceSpeed() const
    {
        const termios settings = deviceSettings();
        return cfgetospeed(&settings);
    }
    static quint16 unusedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!Ser2NetServer::isInstalled())
            QSKIP("ser2net is needed (./test installs it)");
        QVERIFY2(m_server.start(m_device.slavePath()), qPrintable(m_server.errorString()));
    }
    // ser2net takes a moment to let go of the device after a client left,
    // and refuses the next one until then.
    void init() { QVERIFY(m_server.waitUntilIdle()); }
    void cleanup() { qunsetenv("TAVEL_COM1"); }

    void everyByteBothWays_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("RFC 2217") << QStringLiteral("rfc2217");
        QTest::newRow("rohes TCP") << QStringLiteral("tcp");
    }
    void everyByteBothWays()
    {
        QFETCH(QString, kind);
        Session session;
        session.open(addressOf(kind));
        // FF is Telnet's own byte; CR NUL and CR LF are what a Telnet in text
        // mode would change.
        const QByteArray all = everyByteValue() + QByteArray(9, '\xff') + "\r\n\r"
            + QByteArray(1, 0) + "\r" + QByteArray(1, '\xff');
        QVERIFY(!session.comm.Output(all));
        QCOMPARE(m_device.read(all.size()), all);
        // In pieces, so that the server's reads split and merge them.
        for (qsizetype at = 0; at < all.size(); at += 37)
            QVERIFY(m_device.write(all.mid(at, 37)));
        QTRY_VERIFY(session.received.size() >= all.size());
        QCOMPARE(session.received, all);
        QCOMPARE(m_device.readFor(100), QByteArray());
    }

    // FF goes out doubled, yet the positions a file send follows count the
    // bytes handed over, and all of them arrive.
    void positionsCountTheBytesHandedOver()
    {
        Session session;
        session.open(telnetAddress(m_server));
        const QByteArray ffs(256 * 1024, '\xff');
        const qint64 start = session.comm.outputEnd();
        QVERIFY(!session.comm.Output(ffs));
        QCOMPARE(session.comm.outputEnd(), start + ffs.size());
        QCOMPARE(m_device.read(ffs.size(), 10000), ffs);
        QTRY_COMPARE(session.comm.outputPassedOn(), start + ffs.size());
        QCOMPARE(session.comm.bytesToWrite(), 0);
    }

    void lineSettingsOnTheServersPort_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<speed_t>("speedAtOpen");
        QTest::addColumn<bool>("twoStopBitsAtOpen");
        QTest::addColumn<speed_t>("speedAfterChange");
        // A pty keeps 8 data bits without parity whatever is asked.
        QTest::newRow("RFC 2217") << QStringLiteral("rfc2217") << speed_t(B115200) << true
                                  << speed_t(B19200);
        // Raw TCP carries no settings: the server's own stay.
        QTest::newRow("rohes TCP")
            << QStringLiteral("tcp") << speed_t(B9600) << false << speed_t(B9600);
    }
    void lineSettingsOnTheServersPort()
    {
        QFETCH(QString, kind);
        QFETCH(speed_t, speedAtOpen);
        QFETCH(bool, twoStopBitsAtOpen);
        QFETCH(speed_t, speedAfterChange);
        Session session;
        session.open(addressOf(kind), QStringLiteral("115200,N,8,2"));
        // The Telnet port opens only once the server answered the settings.
        if (kind == QLatin1String("tcp"))
            QTest::qWait(200);
        QCOMPARE(deviceSpeed(), speedAtOpen);
        QCOMPARE(bool(deviceSettings().c_cflag & CSTOPB), twoStopBitsAtOpen);

        QVERIFY(!session.comm.setSettings(QStringLiteral("19200,N,8,1")));
        QTRY_COMPARE(deviceSpeed(), speedAfterChange);
        QTRY_VERIFY(!(deviceSettings().c_cflag & CSTOPB));
    }

    void serverThatGoesAndComesBack()
    {
        Session session;
        Reconnector reconnector(session.comm);
        QSignalSpy reconnected(&reconnector, &Reconnector::reconnected);
        connect(&session.comm, &MSComm::connectionLost, &reconnector, &Reconnector::startWaiting);
        session.open(telnetAddress(m_server), QStringLiteral("57600,N,8,1"));

        m_server.stop();
        QTRY_VERIFY(reconnector.isWaiting());
        QVERIFY(!session.comm.PortOpen());
        // A server that stays away is tried again and again, quietly.
        QTest::qWait(3 * Reconnector::kLookIntervalMs);
        QVERIFY(reconnector.isWaiting());
        QVERIFY(reconnected.isEmpty());

        QVERIFY2(m_server.restart(), qPrintable(m_server.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(reconnected.size(), 1, 3000);
        QVERIFY(session.comm.PortOpen());
        QCOMPARE(deviceSpeed(), speed_t(B57600));
        const QByteArray back("wieder da \xff\r\n", 13);
        QVERIFY(m_device.write(back));
        QTRY_COMPARE(session.received, back);
        QVERIFY(!session.comm.Output(back));
        QCOMPARE(m_device.read(back.size()), back);
    }

    void connectionThatHangsCanBeGivenUp()
    {
        // Listening, so the connection is made, but never a word: the
        // Telnet negotiation waits.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        Session session;
        session.start(QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.serverPort()));
        QVERIFY(session.comm.isConnecting());
        QVERIFY(!session.comm.PortOpen());
        QVERIFY(session.comm.setCommPort(2));
        QVERIFY(session.comm.Output("x"));
        QTest::qWait(300);
        QVERIFY(session.comm.isConnecting());

        QVERIFY(!session.comm.setPortOpen(false));
        QVERIFY(!session.comm.isConnecting());
        QTest::qWait(100);
        QVERIFY(!session.opened);
        QVERIFY(!session.failure);
    }

    void failuresSayWhy_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("reason");
        QTest::newRow("abgelehnt")
            << QStringLiteral("rfc2217://127.0.0.1:%1").arg(unusedPort())
            << CommErrorNumber::kOpenFailed << QStringLiteral("Verbindung abgelehnt");
        QTest::newRow("unbekannter Rechner")
            << QStringLiteral("tcp://kein-solcher-rechner.invalid:7000")
            << CommErrorNumber::kDeviceNotFound
            << QStringLiteral("„kein-solcher-rechner.invalid“ ist nicht bekannt");
    }
    void failuresSayWhy()
    {
        QFETCH(QString, address);
        QFETCH(int, number);
        QFETCH(QString, reason);
        Session session;
        session.start(address);
        QTRY_VERIFY(session.failure);
        QCOMPARE(session.failure->number, number);
        QVERIFY2(session.failure->description.contains(reason),
            qPrintable(session.failure->description));
        QVERIFY(session.failure->description.contains(QStringLiteral("COM1")));
        QVERIFY(!session.comm.PortOpen());
        QVERIFY(!session.comm.isConnecting());
        QVERIFY(!session.opened);
    }

    // A server that says its piece at once and then waits, whatever the
    // client sends: what it says decides how the connection ends.
    void scriptedServer_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("later");
        QTest::addColumn<bool>("hangUp");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QString>("reason");
        const QByteArray agree("\xff\xfd\x2c", 3);
        const QByteArray baudAnswer("\xff\xfa\x2c\x65\x00\x00\x25\x80\xff\xf0", 10);
        // Data that came before the answer to the settings, and none after.
        QTest::newRow("Daten vor der Antwort")
            << agree + "fr\xc3\xbch\xff\xff" << baudAnswer << false << QByteArray("fr\xc3\xbch\xff")
            << QString();
        QTest::newRow("Option abgelehnt")
            << QByteArray("\xff\xfe\x2c", 3) << QByteArray() << false << QByteArray()
            << QStringLiteral("der Server lehnt die Com-Port-Option von RFC 2217 ab");
        QTest::newRow("Abschied mit Grund")
            << agree + "Device open failure: Value or file not found\r\n"
            << QByteArray() << true << QByteArray()
            << QStringLiteral("der Server hat die Verbindung beendet: „Device open failure: "
                              "Value or file not found“");
        QTest::newRow("Abschied ohne Grund")
            << agree << QByteArray() << true << QByteArray()
            << QStringLiteral("der Server hat die Verbindung beendet");
    }
    void scriptedServer()
    {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, later);
        QFETCH(bool, hangUp);
        QFETCH(QByteArray, received);
        QFETCH(QString, reason);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket *client = server.nextPendingConnection();
            client->write(script);
            if (!later.isEmpty())
                QTimer::singleShot(200, client, [client, later] { client->write(later); });
            if (hangUp)
                client->disconnectFromHost();
        });
        Session session;
        session.start(QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.serverPort()));
        QTRY_VERIFY(session.opened || session.failure);
        if (reason.isEmpty()) {
            QVERIFY2(
                session.opened, session.failure ? qPrintable(session.failure->description) : "");
            QTRY_COMPARE(session.received, received);
            return;
        }
        QVERIFY(session.failure);
        QVERIFY2(session.failure->description.contains(reason),
            qPrintable(session.failure->description));
        QVERIFY(!session.comm.PortOpen());
    }

    void serverWhosePortIsMissingSaysSo()
    {
        Ser2NetServer server;
        QVERIFY2(server.start(QStringLiteral("/dev/kein-solches-geraet")),
            qPrintable(server.errorString()));
        Session session;
        session.start(telnetAddress(server));
        QTRY_VERIFY(session.failure);
        QVERIFY2(session.failure->description.contains(QStringLiteral("Device open failure")),
            qPrintable(session.failure->description));
        QVERIFY(!session.opened);
    }

    void linesWithoutAnAnswerAreUnknown_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("RFC 2217, pty ohne Leitungen") << QStringLiteral("rfc2217");
        QTest::newRow("rohes TCP") << QStringLiteral("tcp");
    }
    void linesWithoutAnAnswerAreUnknown()
    {
        QFETCH(QString, kind);
        Session session;
        session.open(addressOf(kind));
        QTRY_VERIFY(!session.comm.lines().linesKnown());
        QVERIFY(!session.comm.lines().line(LineBits::kCts));
        QVERIFY(session.comm.lines().setOwnLine(LineBits::kDtr, false));
        if (kind == QLatin1String("tcp"))
            QCOMPARE(session.comm.lines().whyUnknown(), RawTcpLineDriver::reason());
        // The data flow all the same.
        QVERIFY(!session.comm.Output("noch da"));
        QCOMPARE(m_device.read(7), QByteArray("noch da"));
    }

    void linesThroughTheServer()
    {
        LineDouble lines;
        QVERIFY2(lines.isValid(), qPrintable(lines.errorString()));
        Ser2NetServer server;
        QVERIFY2(server.start(m_device.slavePath(), lines.environment()),
            qPrintable(server.errorString()));
        Session session;
        session.open(telnetAddress(server));
        QTRY_VERIFY(session.comm.lines().linesKnown());

        // Each way for each line, whatever the server's port started with.
        QVERIFY(!session.comm.lines().setOwnLine(LineBits::kDtr, true));
        QVERIFY(!session.comm.lines().setOwnLine(LineBits::kRts, true));
        QTRY_VERIFY(lines.dtr() && lines.rts());
        QVERIFY(!session.comm.lines().setOwnLine(LineBits::kDtr, false));
        QTRY_VERIFY(!lines.dtr());
        QVERIFY(lines.rts());
        QVERIFY(!session.comm.lines().setOwnLine(LineBits::kRts, false));
        QTRY_VERIFY(!lines.rts());
        // Answered, so still known.
        QTest::qWait(RemoteLineDriver::kAnswerWaitMs + 200);
        QVERIFY(session.comm.lines().linesKnown());
        QCOMPARE(session.comm.lines().line(LineBits::kDtr), std::optional<bool>(false));

        lines.setFarLines(TIOCM_CTS | TIOCM_CAR);
        QTRY_COMPARE(session.comm.lines().line(LineBits::kCts), std::optional<bool>(true));
        QCOMPARE(session.comm.lines().line(LineBits::kDcd), std::optional<bool>(true));
        QCOMPARE(session.comm.lines().line(LineBits::kDsr), std::optional<bool>(false));

        session.comm.lines().sendBreak(100);
        QTRY_COMPARE(lines.breakCount(), 1);
        QTRY_VERIFY(!lines.breakOn());
        session.comm.lines().setChoices(1, [] {
            LineChoices choices;
            choices.flowControl = LineChoices::FlowControl::RtsCts;
            return choices;
        }());
        QTRY_VERIFY(deviceSettings().c_cflag & CRTSCTS);
    }

    // A second server, written independently of ser2net: pyserial's RFC 2217
    // server over its loopback port, which sends back what it gets and
    // lets DSR follow DTR and CTS follow RTS.
    void secondServerOverItsLoopback()
    {
        const QString server
            = QStringLiteral("/usr/share/doc/python3-serial/examples/rfc2217_server.py");
        if (!QFile::exists(server) || !QFile::exists(QStringLiteral("/usr/bin/python3")))
            QSKIP("pyserial's RFC 2217 server is needed (./test installs python3-serial)");
        // It listens on every interface; the test keeps it to 127.0.0.1.
        QTemporaryDir folder;
        QFile wrapper(folder.filePath(QStringLiteral("loopback_server.py")));
        QVERIFY(wrapper.open(QIODevice::WriteOnly));
        wrapper.write("import runpy, socket, sys\n"
                      "bind = socket.socket.bind\n"
                      "socket.socket.bind = lambda s, a: bind(s, ('127.0.0.1', a[1]))\n"
                      "port, server = sys.argv[1], sys.argv[2]\n"
                      "sys.argv = [server, '-p', port, 'loop://']\n"
                      "runpy.run_path(server, run_name='__main__')\n");
        wrapper.close();
        const quint16 port = Ser2NetServer::freePort();
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral("/usr/bin/python3"),
            { wrapper.fileName(), QString::number(port), server });
        QVERIFY(process.waitForStarted());
        const auto stop = qScopeGuard([&process] {
            process.kill();
            process.waitForFinished();
        });
        QTRY_VERIFY(Ser2NetServer::isListening(port));

        Session session;
        session.open(QStringLiteral("rfc2217://127.0.0.1:%1").arg(port));
        const QByteArray all = everyByteValue() + QByteArray(5, '\xff') + "\r\n\r";
        QVERIFY(!session.comm.Output(all));
        QTRY_COMPARE(session.received, all);

        PortLines &lines = session.comm.lines();
        QTRY_COMPARE(lines.line(LineBits::kCts), std::optional<bool>(true));
        QVERIFY(!lines.setOwnLine(LineBits::kRts, false));
        QTRY_COMPARE(lines.line(LineBits::kCts), std::optional<bool>(false));
        QCOMPARE(lines.line(LineBits::kDsr), std::optional<bool>(true));
        QVERIFY(!lines.setOwnLine(LineBits::kDtr, false));
        QTRY_COMPARE(lines.line(LineBits::kDsr), std::optional<bool>(false));
        QVERIFY(lines.linesKnown());
    }
};

QTEST_GUILESS_MAIN(tst_SerialServer)
#include "tst_serialserver.moc"
