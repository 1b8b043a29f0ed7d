#include "linedouble.h"
#include "ptydevice.h"
#include "serial/filetransfer.h"
#include "serial/linebits.h"
#include "serial/linessettings.h"
#include "serial/mscomm.h"
#include "testdice.h"

#include <QElapsedTimer>
#include <QTest>
#include <cerrno>
#include <termios.h>

// The wires beside the data, through the real port object and Qt Serial Port
// on a pty that the preloaded double gives modem lines.
class tst_Lines : public QObject
{
    Q_OBJECT

private:
    using Flow = LineChoices::FlowControl;
    using Level = LineChoices::Level;

    // COM1 on the pty with the given choices, open.
    bool open(MSComm &comm, const PtyDevice &device, const LineChoices &choices = {})
    {
        qputenv("TAVEL_COM1", device.slavePath().toLocal8Bit());
        comm.lines().setChoices(1, choices);
        return !comm.setCommPort(1) && !comm.setPortOpen(true) && comm.PortOpen();
    }

    // The test's own end of a pty; the double leaves it alone, as the kernel
    // would count the test's descriptor as another user of the port.
    std::unique_ptr<PtyDevice> farEnd()
    {
        qunsetenv("TAVEL_LINE_DOUBLE");
        auto device = std::make_unique<PtyDevice>();
        m_double.useInThisProcess();
        return device;
    }

    static termios termiosOf(const PtyDevice &device)
    {
        termios settings = {};
        ::tcgetattr(device.slaveFd(), &settings);
        return settings;
    }

    LineDouble m_double;

private Q_SLOTS:
    void initTestCase() { m_double.useInThisProcess(); }
    void init()
    {
        m_double.refuseWith(0);
        m_double.refuseWaitWith(0);
        m_double.setFarLines(0);
    }

    void fileKeepsTheChoices_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problemStart");
        const QByteArray full = "# Tavel: Leitungen je Port\n"
                                "COM1.Flusssteuerung=RTS/CTS\nCOM1.DTR=aus\nCOM1.RTS=ein\n"
                                "COM1.DTR-nach-Trennen=ein\n"
                                "COM2.Flusssteuerung=XON/XOFF\nCOM2.DTR=ein\nCOM2.RTS=aus\n"
                                "COM2.DTR-nach-Trennen=aus\nBreak=1200\nFenster=-15,7200\n";
        QTest::newRow("as written") << full << QString();
        QTest::newRow("empty: the defaults") << QByteArray() << QString();
        QTest::newRow("unknown port")
            << QByteArray("COM3.DTR=aus\n") << QStringLiteral("Zeile 1 ist unverständlich");
        QTest::newRow("unknown level")
            << QByteArray("\nCOM1.RTS=an\n") << QStringLiteral("Zeile 2 ist unverständlich");
        QTest::newRow("break too short")
            << QByteArray("Break=9\n") << QStringLiteral("Zeile 1 ist unverständlich");
        QTest::newRow("place of three")
            << QByteArray("Fenster=1,2,3\n") << QStringLiteral("Zeile 1 ist unverständlich");
        QTest::newRow("twice") << QByteArray("Break=20\nBreak=20\n")
                               << QStringLiteral("„Break“ steht in Zeile 2 ein zweites Mal");
        QTest::newRow("not UTF-8")
            << QByteArray("# \xe4\n") << QStringLiteral("die Datei ist kein UTF-8-Text");
    }
    void fileKeepsTheChoices()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problemStart);
        const LinesSettings::ReadResult read = LinesSettings::parse(bytes);
        QVERIFY2(read.problem.startsWith(problemStart), qPrintable(read.problem));
        if (!problemStart.isEmpty()) {
            // A damaged file leaves nothing half-read in force.
            QCOMPARE(read.settings, LinesSettings());
        } else if (!bytes.isEmpty()) {
            QCOMPARE(read.settings.serialize(), bytes);
            QCOMPARE(read.settings.choices(1).flowControl, Flow::RtsCts);
            QCOMPARE(read.settings.choices(2).rtsAtOpen, Level::Off);
        }
    }

    void levelsChosenAtOpen_data()
    {
        QTest::addColumn<Level>("dtr");
        QTest::addColumn<Level>("rts");
        QTest::newRow("as the system sets them") << Level::On << Level::On;
        QTest::newRow("DTR off") << Level::Off << Level::On;
        QTest::newRow("both off") << Level::Off << Level::Off;
    }
    void levelsChosenAtOpen()
    {
        QFETCH(Level, dtr);
        QFETCH(Level, rts);
        const std::unique_ptr<PtyDevice> end = farEnd();
        PtyDevice &device = *end;
        MSComm comm;
        LineChoices choices;
        choices.dtrAtOpen = dtr;
        choices.rtsAtOpen = rts;
        QVERIFY(open(comm, device, choices));
        QCOMPARE(m_double.dtr(), dtr == Level::On);
        QCOMPARE(m_double.rts(), rts == Level::On);
        QCOMPARE(comm.lines().line(LineBits::kDtr), dtr == Level::On);
        // The toggles reach the line, and the object reads them back.
        QVERIFY(!comm.lines().setOwnLine(LineBits::kDtr, dtr == Level::Off));
        QCOMPARE(m_double.dtr(), dtr == Level::Off);
        QCOMPARE(comm.lines().line(LineBits::kDtr), dtr == Level::Off);
    }

    void flowControlReachesTheDriver_data()
    {
        QTest::addColumn<Flow>("flow");
        QTest::addColumn<bool>("crtscts");
        QTest::addColumn<bool>("ixon");
        QTest::newRow("keine") << Flow::None << false << false;
        QTest::newRow("RTS/CTS") << Flow::RtsCts << true << false;
        QTest::newRow("XON/XOFF") << Flow::XonXoff << false << true;
    }
    void flowControlReachesTheDriver()
    {
        QFETCH(Flow, flow);
        QFETCH(bool, crtscts);
        QFETCH(bool, ixon);
        const std::unique_ptr<PtyDevice> end = farEnd();
        PtyDevice &device = *end;
        MSComm comm;
        LineChoices choices;
        choices.flowControl = flow;
        QVERIFY(open(comm, device, choices));
        const auto check = [&] {
            const termios settings = termiosOf(device);
            return bool(settings.c_cflag & CRTSCTS) == crtscts
                && bool(settings.c_iflag & IXON) == ixon && bool(settings.c_iflag & IXOFF) == ixon
                && !(settings.c_iflag & IXANY);
        };
        QVERIFY(check());
        // New line settings on the open port keep it.
        QVERIFY(!comm.setSettings(QStringLiteral("19200,N,8,1")));
        QVERIFY(check());
        // Changed while open, it takes effect at once.
        choices.flowControl = Flow::None;
        comm.lines().setChoices(1, choices);
        QCOMPARE(bool(termiosOf(device).c_cflag & CRTSCTS), false);
        QCOMPARE(bool(termiosOf(device).c_iflag & IXON), false);
    }

    // One pty through several sessions: a session that kept DTR on must not
    // leave its rule in the device for the next one.
    void dtrAfterClose()
    {
        const std::unique_ptr<PtyDevice> end = farEnd();
        PtyDevice &device = *end;
        // A UART's termios usually asks for the hang-up at the last close.
        termios settings = termiosOf(device);
        settings.c_cflag |= HUPCL;
        QCOMPARE(::tcsetattr(device.slaveFd(), TCSANOW, &settings), 0);
        for (bool keep : { false, true, false, true }) {
            MSComm comm;
            LineChoices choices;
            choices.keepDtrAfterClose = keep;
            QVERIFY(open(comm, device, choices));
            QVERIFY(m_double.dtr());
            QVERIFY(!comm.setPortOpen(false));
            QCOMPARE(m_double.dtr(), keep);
        }
    }

    void lampsFollowTheFarEnd()
    {
        const std::unique_ptr<PtyDevice> end = farEnd();
        PtyDevice &device = *end;
        MSComm comm;
        QVERIFY(open(comm, device));
        QTRY_COMPARE(m_double.waiters(), 1);
        const int steps[]
            = { LineBits::kCts, LineBits::kCts | LineBits::kDcd, LineBits::kRi, LineBits::kDsr, 0 };
        for (int far : steps) {
            m_double.setFarLines(far);
            QTRY_COMPARE(comm.lines().bits() & LineBits::kFarLines, far);
        }
        // Closing wakes and ends the watch.
        QVERIFY(!comm.setPortOpen(false));
        QCOMPARE(m_double.waiters(), 0);
        QVERIFY(!comm.lines().line(LineBits::kCts).has_value());
        // So does the device going away: the lamps no longer know.
        QVERIFY(!comm.setPortOpen(true));
        QTRY_COMPARE(m_double.waiters(), 1);
        device.closeMaster();
        QTRY_VERIFY(!comm.PortOpen());
        QCOMPARE(m_double.waiters(), 0);
        QVERIFY(!comm.lines().line(LineBits::kCts).has_value());
    }

    // A USB bridge such as the CP210x reads and sets the lines but cannot
    // wait for a change: the lamps still follow, and DTR still works.
    void driverThatCannotWait()
    {
        m_double.refuseWaitWith(ENOTTY);
        const std::unique_ptr<PtyDevice> end = farEnd();
        MSComm comm;
        QVERIFY(open(comm, *end));
        m_double.setFarLines(LineBits::kDsr);
        QTRY_COMPARE(comm.lines().line(LineBits::kDsr), true);
        QVERIFY(!comm.lines().setOwnLine(LineBits::kDtr, false));
        QCOMPARE(m_double.dtr(), false);
        QVERIFY(!comm.setPortOpen(false));
    }

    void driverWithoutModemLines()
    {
        m_double.refuseWith(ENOTTY);
        const std::unique_ptr<PtyDevice> end = farEnd();
        PtyDevice &device = *end;
        MSComm comm;
        LineChoices choices;
        choices.dtrAtOpen = Level::Off;
        QVERIFY(open(comm, device, choices));
        QVERIFY(!comm.lines().linesKnown());
        QVERIFY(!comm.lines().whyUnknown().isEmpty());
        QVERIFY(comm.lines().setOwnLine(LineBits::kRts, false).has_value());
        // The data go on all the same.
        QVERIFY(!comm.Output("still here"));
        QCOMPARE(device.read(10), QByteArray("still here"));
        QVERIFY(comm.PortOpen());
    }

    void breakHeldAsAskedWhileOutputWaits()
    {
        const std::unique_ptr<PtyDevice> end = farEnd();
        PtyDevice &device = *end;
        MSComm comm;
        QVERIFY(open(comm, device));
        const int before = m_double.breakCount();
        comm.lines().sendBreak(300);
        QVERIFY(comm.lines().isBreaking());
        QVERIFY(!comm.Output("after"));
        QTRY_VERIFY(m_double.breakOn());
        // Nothing crosses a BREAK; it follows once the line is free again.
        QCOMPARE(device.readFor(100), QByteArray());
        QTRY_VERIFY_WITH_TIMEOUT(!comm.lines().isBreaking(), 5000);
        QCOMPARE(m_double.breakCount(), before + 1);
        QVERIFY2(m_double.lastBreakMs() >= 299 && m_double.lastBreakMs() < 400,
            qPrintable(QString::number(m_double.lastBreakMs())));
        QCOMPARE(device.read(5), QByteArray("after"));
        // Closing cuts a long BREAK short, and the line is free again.
        comm.lines().sendBreak(5000);
        QTRY_VERIFY(m_double.breakOn());
        QVERIFY(!comm.setPortOpen(false));
        QVERIFY(!m_double.breakOn());
    }

    void fileHeldByCtsSaysSo()
    {
        const std::unique_ptr<PtyDevice> end = farEnd();
        PtyDevice &device = *end;
        MSComm comm;
        LineChoices choices;
        choices.flowControl = Flow::RtsCts;
        QVERIFY(open(comm, device, choices));
        m_double.setFarLines(LineBits::kCts);
        QTRY_VERIFY(comm.lines().line(LineBits::kCts) == true);
        FileTransfer transfer(comm);
        // Far more than a pty holds, so that it is still leaving below.
        QVERIFY(!transfer.start(QStringLiteral("big"), QByteArray(4 << 20, 'x')));
        QCOMPARE(transfer.hold(), FileTransfer::Hold::None);
        m_double.setFarLines(0);
        QTRY_COMPARE(transfer.hold(), FileTransfer::Hold::ClearToSendOff);
        m_double.setFarLines(LineBits::kCts);
        QTRY_COMPARE(transfer.hold(), FileTransfer::Hold::None);
        transfer.cancel();
    }

    // The line discipline honours XON/XOFF on a pty as a UART's does.
    void fileThroughXonXoffArrivesWhole()
    {
        const std::unique_ptr<PtyDevice> end = farEnd();
        PtyDevice &device = *end;
        MSComm comm;
        LineChoices choices;
        choices.flowControl = Flow::XonXoff;
        QVERIFY(open(comm, device, choices));
        QByteArray file(1 << 20, Qt::Uninitialized);
        for (char &byte : file)
            byte = char(testDice().bounded(256));
        FileTransfer transfer(comm);
        QVERIFY(!transfer.start(QStringLiteral("file"), file));
        QByteArray arrived;
        bool sawHold = false;
        for (int i = 0; i < 100; ++i) {
            QVERIFY(device.write("\x13"));
            // One pause long enough for the window to say why nothing moves.
            const int pause = i == 5 ? 800 : int(testDice().bounded(8));
            QElapsedTimer paused;
            paused.start();
            while (paused.elapsed() < pause) {
                arrived += device.readFor(2);
                sawHold = sawHold || transfer.hold() == FileTransfer::Hold::XoffReceived;
            }
            QVERIFY(device.write("\x11"));
            arrived += device.read(testDice().bounded(1, 16 * 1024), 50);
        }
        arrived += device.read(file.size() - arrived.size(), 20000);
        QCOMPARE(arrived.size(), file.size());
        QVERIFY(arrived == file);
        QVERIFY(sawHold);
        QTRY_VERIFY(!transfer.isRunning());
        // The XON and XOFF went to the line discipline, not to the data.
        QCOMPARE(comm.Input(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(tst_Lines)
#include "tst_lines.moc"
