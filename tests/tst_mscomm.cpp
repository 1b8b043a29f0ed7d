#include "ptydevice.h"
#include "serial/devicesetup.h"
#include "serial/linesettings.h"
#include "serial/mscomm.h"
#include "testbytes.h"

#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

using namespace CommErrorNumber;

namespace {

// Stands in for the main window's handler: every receive event takes all
// that is waiting.
struct Receiver
{
    explicit Receiver(MSComm &comm)
    {
        QObject::connect(&comm, &MSComm::OnComm, &comm, [this, &comm] {
            if (comm.CommEvent() == MSComm::comEvReceive)
                bytes += comm.Input();
        });
    }
    bool waitFor(qint64 count)
    {
        return QTest::qWaitFor([this, count] { return bytes.size() >= count; }, 20000);
    }

    QByteArray bytes;
};

void pointCom(int port, const QString &path)
{
    qputenv(port == 1 ? "TAVEL_COM1" : "TAVEL_COM2", QFile::encodeName(path));
}

// Points COM1 at the pty and opens it.
bool openOn(MSComm &comm, const PtyDevice &device)
{
    pointCom(1, device.slavePath());
    CommResult error = comm.setCommPort(1);
    if (!error)
        error = comm.setPortOpen(true);
    if (error)
        qWarning("%d: %s", error->number, qPrintable(error->description));
    return device.isOpen() && comm.PortOpen();
}

// The device simulator as a child process; its first line is the slave path.
struct Devicesim
{
    explicit Devicesim(const QStringList &arguments)
    {
        process.start(QStringLiteral(DEVICESIM_EXECUTABLE), arguments);
        if (process.waitForReadyRead(5000))
            pointCom(1, QString::fromLocal8Bit(process.readLine()).trimmed());
    }
    ~Devicesim()
    {
        process.terminate();
        process.waitForFinished(5000);
    }

    QProcess process;
};

// Run as a child of this test: holds COM1 open until its standard input closes.
int holdPort(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qputenv("TAVEL_COM1", argv[2]);
    MSComm comm;
    if (CommResult error = comm.setPortOpen(true)) {
        std::printf("failed %d\n", error->number);
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    char byte = 0;
    while (::read(STDIN_FILENO, &byte, 1) > 0) { }
    return 0;
}

} // namespace

class TestMSComm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        qunsetenv("TAVEL_COM1");
        qunsetenv("TAVEL_COM2");
    }

    void bytesPassBothWaysUnchangedAndInOrder()
    {
        PtyDevice device;
        MSComm comm;
        QVERIFY(openOn(comm, device));
        Receiver receiver(comm);
        const QByteArray sent = everyByteValue(0, 1 << 20);
        QVERIFY(device.write(sent, 20000));
        QVERIFY(receiver.waitFor(sent.size()));
        QVERIFY(receiver.bytes == sent);
        QCOMPARE(comm.CommEvent(), MSComm::comEvReceive);

        QVERIFY(!comm.Output(sent));
        // The pty takes a few kilobytes at most; the rest is queued, not waited for.
        QVERIFY(comm.bytesToWrite() > 0);
        QVERIFY(device.read(sent.size(), 20000) == sent);
        QTRY_COMPARE(comm.bytesToWrite(), qint64(0));
        // Nothing added: no line end, no echo.
        QCOMPARE(device.readFor(50), QByteArray());
    }

    // A handler that opens a box waits in a nested loop while more comes in;
    // those bytes are announced once it returns.
    void bytesArrivingDuringHandlersBoxAreAnnouncedAfterwards()
    {
        PtyDevice device;
        MSComm comm;
        QVERIFY(openOn(comm, device));
        QList<int> codes;
        QByteArray received;
        connect(&comm, &MSComm::OnComm, this, [&] {
            codes << comm.CommEvent();
            if (comm.CommEvent() == MSComm::comEvReceive)
                received += comm.Input();
            if (codes.size() == 1) {
                QVERIFY(device.write("late"));
                QEventLoop loop;
                QTimer::singleShot(200, &loop, &QEventLoop::quit);
                loop.exec();
            }
        });
        QVERIFY(device.write("early"));
        QTRY_COMPARE(received, QByteArray("earlylate"));
        QCOMPARE(codes, QList<int>({ MSComm::comEvReceive, MSComm::comEvReceive }));
    }

    // Held by another port object, under its own name or through a link, or
    // by another process: the error names the device or the holder.
    void deviceHeldElsewhereGetsPortInUse()
    {
        PtyDevice device;
        MSComm first;
        QVERIFY(openOn(first, device));
        MSComm second;
        CommResult error = second.setPortOpen(true);
        QVERIFY(error);
        QCOMPARE(error->number, kPortInUse);
        QCOMPARE(error->source, QStringLiteral("MSComm1"));
        QVERIFY2(error->description.contains(device.slavePath()), qPrintable(error->description));
        QVERIFY(!second.PortOpen() && first.PortOpen());
        QTemporaryDir folder;
        const QString link = folder.filePath(QStringLiteral("ttyLink"));
        QVERIFY(QFile::link(device.slavePath(), link));
        pointCom(2, link);
        QVERIFY(!second.setCommPort(2));
        QCOMPARE(second.setPortOpen(true)->number, kPortInUse);
        QVERIFY(!first.setPortOpen(false));
        QVERIFY(!second.setPortOpen(true) && !second.setPortOpen(false));

        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--hold-port"), device.slavePath() });
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        error = second.setPortOpen(true);
        QVERIFY(error);
        QCOMPARE(error->number, kPortInUse);
        QVERIFY2(error->description.contains(QString::number(holder.processId())),
            qPrintable(error->description));
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        error = second.setPortOpen(true);
        QVERIFY2(!error, error ? qPrintable(error->description) : "");
    }

    void openFailureNamesDeviceAndCause_data()
    {
        QTest::addColumn<QString>("path"); // "file" and "unreadable" make a temporary file
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("mention");
        QTest::newRow("missing") << "/dev/tavel-no-such-device" << kDeviceNotFound << "COM1";
        QTest::newRow("/dev/null") << "/dev/null" << kNotASerialPort << "";
        QTest::newRow("regular file") << "file" << kNotASerialPort << "";
        QTest::newRow("no permission") << "unreadable" << kAccessDenied << "dialout";
    }
    void openFailureNamesDeviceAndCause()
    {
        QFETCH(QString, path);
        QFETCH(int, number);
        QFETCH(QString, mention);
        QTemporaryFile file;
        if (path == QLatin1String("unreadable") && ::geteuid() == 0)
            QSKIP("root may open every device");
        if (!path.startsWith(QLatin1Char('/'))) {
            QVERIFY(file.open());
            QVERIFY(path == QLatin1String("file") || file.setPermissions({}));
            path = file.fileName();
        }
        pointCom(1, path);
        MSComm comm;
        const CommResult error = comm.setPortOpen(true);
        QVERIFY(error);
        QCOMPARE(error->number, number);
        QCOMPARE(error->source, QStringLiteral("MSComm1"));
        QVERIFY2(error->description.contains(path) && error->description.contains(mention),
            qPrintable(error->description));
        QVERIFY(!comm.PortOpen());
    }

    // Opening an open port and closing a closed one succeed; a refused
    // change, closed or open, leaves everything as it was.
    void refusedChangesLeaveThePortAsItWas()
    {
        MSComm comm;
        QVERIFY(!comm.setPortOpen(false));
        QCOMPARE(comm.Output("x")->number, kPortNotOpen);
        QVERIFY(!comm.setCommPort(2));
        for (int port : { 0, 3, -1 })
            QCOMPARE(comm.setCommPort(port)->number, kInvalidPortNumber);
        QCOMPARE(comm.CommPort(), 2);

        PtyDevice device;
        QVERIFY(!comm.setSettings(QStringLiteral("9600,N,8,1.5")));
        pointCom(2, device.slavePath());
        CommResult error = comm.setPortOpen(true);
        QVERIFY(error);
        QCOMPARE(error->number, kSettingsRefused);
        QVERIFY2(
            error->description.contains(QStringLiteral("1,5 Stopbits sind nur mit 5 Datenbits")),
            qPrintable(error->description));
        QVERIFY(!comm.PortOpen());
        QVERIFY(!comm.setSettings(QStringLiteral("9600,N,8,1")));

        for (bool open : { false, true }) {
            QVERIFY(!open || openOn(comm, device));
            error = comm.setSettings(QStringLiteral("9601,N,8,1"));
            QVERIFY(error);
            QCOMPARE(error->number, kInvalidSettings);
            QCOMPARE(error->source, QStringLiteral("MSComm1"));
            QVERIFY(error->description.contains(QStringLiteral("„9601,N,8,1“")));
            QCOMPARE(comm.Settings(), QStringLiteral("9600,N,8,1"));
        }
        QCOMPARE(comm.setSettings(QStringLiteral("9600,N,8,1.5"))->number, kSettingsRefused);
        QCOMPARE(comm.Settings(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(comm.setCommPort(2)->number, kPortAlreadyOpen);
        QCOMPARE(comm.CommPort(), 1);
        QVERIFY(!comm.setPortOpen(true));
        QVERIFY(!comm.setSettings(QStringLiteral("19200,M,7,2")));
        QCOMPARE(comm.Settings(), QStringLiteral("19200,M,7,2"));
        Receiver receiver(comm);
        QVERIFY(device.write("still"));
        QVERIFY(receiver.waitFor(5));
        QCOMPARE(receiver.bytes, QByteArray("still"));
    }

    // The far end goes while a megabyte leaves: one loss, no event, the
    // rest of the output dropped, and what had arrived can still be taken.
    void farEndClosingReportsLossOnceAndKeepsWhatArrived()
    {
        PtyDevice device;
        MSComm comm;
        QVERIFY(openOn(comm, device));
        QSignalSpy events(&comm, &MSComm::OnComm);
        QSignalSpy lost(&comm, &MSComm::connectionLost);
        // Input takes all that waits, from every event not yet handled.
        QVERIFY(device.write("last"));
        QTRY_VERIFY(events.size() >= 1);
        QVERIFY(device.write(" words"));
        QTRY_VERIFY(events.size() >= 2);
        const qsizetype eventsBefore = events.size();
        QVERIFY(!comm.Output(everyByteValue(0, 1 << 20)));
        QTest::qWait(20);
        device.closeMaster();
        QVERIFY(lost.wait(3000));
        QVERIFY(!comm.PortOpen());
        QTest::qWait(100);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(comm.bytesToWrite(), qint64(0));
        // What still waits is announced once more, the loss itself is no event.
        QCOMPARE(events.size(), eventsBefore + 1);
        QCOMPARE(comm.Output("x")->number, kPortNotOpen);
        QCOMPARE(comm.Input(), QByteArray("last words"));
        QCOMPARE(comm.Input(), QByteArray());
    }

    // The Settings text is read exactly in its one form, and what the driver
    // does not keep of it is told; tried on a pseudo-terminal (the port
    // object itself leaves a pty's line alone), whose driver answers parity
    // and 5 to 7 data bits with success and keeps 8 data bits without.
    void settingsTextReachesTheDriver_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem"); // "-": not read, for any reason
        QTest::addColumn<QString>("refusal"); // the driver's; empty: taken
        const auto row = [](const char *text, const char *problem, const char *refusal = "") {
            QTest::addRow("\"%s\"", text) << QString::fromLatin1(text) << QString::fromUtf8(problem)
                                          << QString::fromUtf8(refusal);
        };
        row("115200,N,8,1", "");
        row("921600,N,8,1", "");
        row("56000,N,8,2", "");
        row("9600,E,8,1", "", "Parität „gerade“");
        row("56000,O,8,2", "", "Parität „ungerade“");
        row("19200,M,7,2", "", "7 Datenbits");
        row("14400,S,7,1", "", "7 Datenbits");
        row("300,E,6,1", "", "6 Datenbits");
        row("110,N,5,1", "", "5 Datenbits");
        row("1200,N,5,1.5", "", "5 Datenbits");
        row("9600,N,6,1.5", "", "1,5 Stopbits sind nur mit 5 Datenbits");
        row("9600,N,8,1.5", "", "1,5 Stopbits sind nur mit 5 Datenbits");
        row(",N,8,1", "Baudrate fehlt");
        for (const char *text :
            { "9600,N,8", "9600,X,8,1", "9600,n,8,1", "9600,N,9,1", "9600,N,4,1", "9600,N,8,3",
                "9600,N,5,1,5", "9601,N,8,1", "76800,N,8,1", "09600,N,8,1", "9600, N,8,1",
                "9600,N,8,1 ", "", "9600,N,8,1,1", "9600,,8,1", "9600,N,8,1,", "9600;N;8;1" })
            row(text, "-");
    }
    void settingsTextReachesTheDriver()
    {
        QFETCH(QString, text);
        QFETCH(QString, problem);
        QFETCH(QString, refusal);
        QString found;
        const std::optional<LineSettings> line = LineSettings::parse(text, &found);
        if (!problem.isEmpty()) {
            QVERIFY(!line && !found.isEmpty());
            QVERIFY(problem == QLatin1String("-") || found == problem);
            return;
        }
        QVERIFY2(line, qPrintable(found));
        const QStringList stopBits { "1", "1.5", "2" };
        QCOMPARE(QStringLiteral("%1,%2,%3,%4")
                     .arg(line->baudRate())
                     .arg(QLatin1Char("NEOMS"[int(line->parity())]))
                     .arg(line->dataBits())
                     .arg(stopBits.at(int(line->stopBits()))),
            text);
        QCOMPARE(line->toString(), text);

        // Qt on Linux would turn OneAndHalfStop into one stop bit.
        QCOMPARE(DeviceSetup::qtStopBits(LineSettings::StopBits::OneAndHalf), QSerialPort::TwoStop);
        PtyDevice device;
        QSerialPort port(device.slavePath());
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        const std::optional<QString> refused = DeviceSetup::apply(port, *line);
        QVERIFY2(
            refused.value_or(QString()).contains(refusal) && bool(refused) == !refusal.isEmpty(),
            qPrintable(refused.value_or(QStringLiteral("taken"))));
        if (refused)
            return;
        QCOMPARE(DeviceSetup::actualBaudRate(int(port.handle())),
            std::optional<qint64>(line->baudRate()));
        termios actual = {};
        QCOMPARE(::tcgetattr(int(port.handle()), &actual), 0);
        QCOMPARE(bool(actual.c_cflag & CSTOPB), line->stopBits() == LineSettings::StopBits::Two);
    }

    // The device simulator (tools/devicesim): echo and record through a link,
    // and a stream of text lines.
    void simulatorEchoesAndRecordsEveryByteValue()
    {
        QTemporaryDir folder;
        const QString link = folder.filePath(QStringLiteral("ttyV0"));
        const QString record = folder.filePath(QStringLiteral("record.bin"));
        {
            Devicesim sim({ QStringLiteral("--echo"), QStringLiteral("--record"), record,
                QStringLiteral("--link"), link });
            QCOMPARE(QFileInfo(link).canonicalFilePath(), qEnvironmentVariable("TAVEL_COM1"));
            pointCom(1, link);
            MSComm comm;
            QVERIFY(!comm.setPortOpen(true));
            Receiver receiver(comm);
            QVERIFY(!comm.Output(everyByteValue()));
            QVERIFY(receiver.waitFor(256));
            QCOMPARE(receiver.bytes, everyByteValue());
        }
        // A clean end takes the link away.
        QVERIFY(!QFileInfo(link).isSymLink());
        QFile recorded(record);
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        QCOMPARE(recorded.readAll(), everyByteValue());
    }

    void simulatorStreamsRequestedAmount()
    {
        Devicesim sim({ QStringLiteral("--stream"), QStringLiteral("100000"),
            QStringLiteral("--pattern"), QStringLiteral("text") });
        MSComm comm;
        QVERIFY(!comm.setPortOpen(true));
        Receiver receiver(comm);
        QVERIFY(receiver.waitFor(100000));
        QTest::qWait(100);
        QCOMPARE(receiver.bytes.size(), 100000);
        const QList<QByteArray> lines = receiver.bytes.split('\n');
        QCOMPARE(lines.first().size(), 81); // 80 columns and the CR
        QVERIFY(lines.first().endsWith('\r'));
        for (char byte : receiver.bytes)
            QVERIFY(byte == '\r' || byte == '\n' || (byte >= ' ' && byte <= '~'));
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--hold-port") == 0)
        return holdPort(argc, argv);
    QCoreApplication app(argc, argv);
    TestMSComm test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mscomm.moc"
