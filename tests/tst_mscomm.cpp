#include "serial/comportmap.h"
#include "serial/devicesetup.h"
#include "serial/linesettings.h"
#include "serial/mscomm.h"
#include "support/ptydevice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <ctime>
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
            ++events;
            if (comm.CommEvent() == MSComm::comEvReceive)
                bytes += comm.Input();
        });
    }
    bool waitFor(qint64 count, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([this, count] { return bytes.size() >= count; }, timeoutMs);
    }

    QByteArray bytes;
    int events = 0;
};

// Lets a test raise the events a pseudo-terminal cannot produce.
class EventRaisingComm : public MSComm
{
public:
    using MSComm::raiseCommEvent;
};

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(20240601);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

double processCpuMs()
{
    timespec now = {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

QString devicesimPath()
{
    return QStringLiteral(DEVICESIM_EXECUTABLE);
}

// The device simulator as a child process; its first line is the slave path.
struct Devicesim
{
    explicit Devicesim(const QStringList &arguments)
    {
        process.start(devicesimPath(), arguments);
        if (process.waitForReadyRead(5000))
            slavePath = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~Devicesim()
    {
        process.terminate();
        process.waitForFinished(5000);
    }

    QProcess process;
    QString slavePath;
};

// Points COM1 at the pty and opens it.
bool openOn(MSComm &comm, const PtyDevice &device)
{
    if (!device.isOpen()) {
        qWarning("no pseudo-terminal: %s", qPrintable(device.errorString()));
        return false;
    }
    qputenv("TAVEL_COM1", QFile::encodeName(device.slavePath()));
    if (comm.setCommPort(1))
        return false;
    if (const CommResult error = comm.setPortOpen(true)) {
        qWarning("%d: %s", error->number, qPrintable(error->description));
        return false;
    }
    return comm.PortOpen();
}

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
    void init();
    void cleanup();

    // bytes both ways
    void everyByteValueArrivesUnchanged();
    void everyByteValueLeavesUnchanged();
    void megabyteFromDeviceArrivesInOrder();
    void megabyteToDeviceLeavesInOrderAndOutputReturnsAtOnce();
    void inputTakesEverythingWaiting();
    void bytesArrivingDuringNestedLoopOfHandlerAreAnnouncedAfterwards();
    void bytesArrivingDuringOverrunMessageAreAnnouncedAfterwards();

    // opening
    void secondObjectOnSameDeviceGetsPortInUse();
    void deviceHeldByAnotherProcessGetsPortInUse();
    void linkToHeldDeviceGetsPortInUse();
    void missingDeviceGetsDeviceNotFound();
    void nonTerminalGetsNotASerialPort_data();
    void nonTerminalGetsNotASerialPort();
    void refusedAccessMentionsDialoutGroup();
    void openingOpenPortKeepsItOpen();
    void closingClosedPortIsNoError();

    // properties
    void malformedSettingsAreRejected_data();
    void malformedSettingsAreRejected();
    void validSettingsOpenPseudoTerminal_data();
    void validSettingsOpenPseudoTerminal();
    void oneAndHalfStopBitsWithEightDataBitsFailAtOpen();
    void oneAndHalfStopBitsWithEightDataBitsRefusedWhileOpen();
    void malformedSettingsWhileOpenLeavePortAsItWas();
    void portNumberOutsideOneAndTwoIsRejected_data();
    void portNumberOutsideOneAndTwoIsRejected();
    void portNumberCannotChangeWhileOpen();
    void outputOnClosedPortFails();

    // the far end going away
    void farEndClosingReportsLossOnceWithoutSpinning();
    void farEndClosingWhileSendingReportsLossOnce();
    void bytesWaitingAtLossCanStillBeTaken();
    void portOpensAgainOnNewDeviceAfterLoss();

    // the driver's side, tried on a pseudo-terminal
    void everyOfferedBaudRateReachesTheDriver_data();
    void everyOfferedBaudRateReachesTheDriver();
    void parityRefusedByDriverIsReported();
    void dataBitsIgnoredByDriverAreDetected();
    void longStopSettingReachesTheDriver();

    // COMn to device
    void environmentNamesDeviceForPort();

    // the device simulator
    void simulatorEchoesEveryByteValue();
    void simulatorStreamsRequestedAmount();
    void simulatorRecordsWhatItReceives();
};

void TestMSComm::init()
{
    qunsetenv("TAVEL_COM1");
    qunsetenv("TAVEL_COM2");
}

void TestMSComm::cleanup()
{
    init();
}

// bytes both ways

void TestMSComm::everyByteValueArrivesUnchanged()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    Receiver receiver(comm);

    QVERIFY(device.write(allByteValues()));
    QVERIFY(receiver.waitFor(256));
    QCOMPARE(receiver.bytes, allByteValues());
    QCOMPARE(comm.CommEvent(), MSComm::comEvReceive);
}

void TestMSComm::everyByteValueLeavesUnchanged()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));

    QVERIFY(!comm.Output(allByteValues()));
    QCOMPARE(device.read(256), allByteValues());
    // Nothing added: no line end, no echo.
    QCOMPARE(device.readFor(50), QByteArray());
}

void TestMSComm::megabyteFromDeviceArrivesInOrder()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    Receiver receiver(comm);

    const QByteArray sent = randomBytes(1 << 20);
    QVERIFY(device.write(sent, 20000));
    QVERIFY(receiver.waitFor(sent.size()));
    QCOMPARE(receiver.bytes.size(), sent.size());
    QVERIFY(receiver.bytes == sent);
}

void TestMSComm::megabyteToDeviceLeavesInOrderAndOutputReturnsAtOnce()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));

    const QByteArray sent = randomBytes(1 << 20);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!comm.Output(sent));
    // The pty takes a few kilobytes at most; the rest must be queued, not
    // waited for.
    QVERIFY(timer.elapsed() < 500);
    QVERIFY(comm.bytesToWrite() > 0);

    const QByteArray received = device.read(sent.size(), 20000);
    QCOMPARE(received.size(), sent.size());
    QVERIFY(received == sent);
    QTRY_COMPARE(comm.bytesToWrite(), qint64(0));
}

void TestMSComm::inputTakesEverythingWaiting()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    QSignalSpy events(&comm, &MSComm::OnComm);

    QVERIFY(device.write("abc"));
    QTRY_VERIFY(events.size() >= 1);
    QVERIFY(device.write("def"));
    QTRY_VERIFY(events.size() >= 2);

    QCOMPARE(comm.Input(), QByteArray("abcdef"));
    QCOMPARE(comm.Input(), QByteArray());
}

void TestMSComm::bytesArrivingDuringNestedLoopOfHandlerAreAnnouncedAfterwards()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));

    QByteArray received;
    int events = 0;
    connect(&comm, &MSComm::OnComm, this, [&] {
        ++events;
        received += comm.Input();
        if (events == 1) {
            // A modal box: the handler waits in a nested loop while more comes in.
            QVERIFY(device.write("late"));
            QEventLoop loop;
            QTimer::singleShot(200, &loop, &QEventLoop::quit);
            loop.exec();
        }
    });

    QVERIFY(device.write("early"));
    QTRY_COMPARE(received, QByteArray("earlylate"));
    QCOMPARE(events, 2);
}

void TestMSComm::bytesArrivingDuringOverrunMessageAreAnnouncedAfterwards()
{
    PtyDevice device;
    EventRaisingComm comm;
    QVERIFY(openOn(comm, device));

    QList<int> codes;
    QByteArray received;
    connect(&comm, &MSComm::OnComm, this, [&] {
        codes << comm.CommEvent();
        if (comm.CommEvent() == MSComm::comEventOverrun) {
            // The "Datenverlust" box reads nothing; bytes arrive meanwhile.
            QVERIFY(device.write("xy"));
            QEventLoop loop;
            QTimer::singleShot(200, &loop, &QEventLoop::quit);
            loop.exec();
        } else if (comm.CommEvent() == MSComm::comEvReceive) {
            received += comm.Input();
        }
    });

    comm.raiseCommEvent(MSComm::comEventOverrun);
    QCOMPARE(codes.value(0), MSComm::comEventOverrun);
    QTRY_COMPARE(received, QByteArray("xy"));
    QCOMPARE(codes, QList<int>({ MSComm::comEventOverrun, MSComm::comEvReceive }));
}

// opening

void TestMSComm::secondObjectOnSameDeviceGetsPortInUse()
{
    PtyDevice device;
    MSComm first;
    QVERIFY(openOn(first, device));

    MSComm second;
    const CommResult error = second.setPortOpen(true);
    QVERIFY(error);
    QCOMPARE(error->number, kPortInUse);
    QCOMPARE(error->source, QStringLiteral("MSComm1"));
    QVERIFY2(error->description.contains(device.slavePath()), qPrintable(error->description));
    QVERIFY(!second.PortOpen());
    QVERIFY(first.PortOpen());

    QVERIFY(!first.setPortOpen(false));
    QVERIFY(!second.setPortOpen(true));
}

void TestMSComm::deviceHeldByAnotherProcessGetsPortInUse()
{
    PtyDevice device;
    QVERIFY(device.isOpen());
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--hold-port"), device.slavePath() });
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    qputenv("TAVEL_COM1", QFile::encodeName(device.slavePath()));
    MSComm comm;
    const CommResult error = comm.setPortOpen(true);
    QVERIFY(error);
    QCOMPARE(error->number, kPortInUse);
    QVERIFY2(error->description.contains(QString::number(holder.processId())),
        qPrintable(error->description));

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    const CommResult afterRelease = comm.setPortOpen(true);
    QVERIFY2(!afterRelease, afterRelease ? qPrintable(afterRelease->description) : "");
}

void TestMSComm::linkToHeldDeviceGetsPortInUse()
{
    PtyDevice device;
    MSComm first;
    QVERIFY(openOn(first, device));

    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("ttyLink"));
    QVERIFY(QFile::link(device.slavePath(), link));
    qputenv("TAVEL_COM2", QFile::encodeName(link));
    MSComm second;
    QVERIFY(!second.setCommPort(2));
    const CommResult error = second.setPortOpen(true);
    QVERIFY(error);
    QCOMPARE(error->number, kPortInUse);
}

void TestMSComm::missingDeviceGetsDeviceNotFound()
{
    const QString missing = QStringLiteral("/dev/tavel-no-such-device");
    qputenv("TAVEL_COM1", QFile::encodeName(missing));
    MSComm comm;
    const CommResult error = comm.setPortOpen(true);
    QVERIFY(error);
    QCOMPARE(error->number, kDeviceNotFound);
    QCOMPARE(error->source, QStringLiteral("MSComm1"));
    QVERIFY(error->description.contains(missing));
    QVERIFY(error->description.contains(QStringLiteral("COM1")));
    QVERIFY(!comm.PortOpen());
}

void TestMSComm::nonTerminalGetsNotASerialPort_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("/dev/null") << QStringLiteral("/dev/null");
    QTest::newRow("regular file") << QString();
}

void TestMSComm::nonTerminalGetsNotASerialPort()
{
    QFETCH(QString, path);
    QTemporaryFile file;
    if (path.isEmpty()) {
        QVERIFY(file.open());
        path = file.fileName();
    }
    qputenv("TAVEL_COM1", QFile::encodeName(path));
    MSComm comm;
    const CommResult error = comm.setPortOpen(true);
    QVERIFY(error);
    QCOMPARE(error->number, kNotASerialPort);
    QVERIFY(error->description.contains(path));
}

void TestMSComm::refusedAccessMentionsDialoutGroup()
{
    if (::geteuid() == 0)
        QSKIP("root may open every device");
    QTemporaryFile file;
    QVERIFY(file.open());
    QVERIFY(file.setPermissions(QFileDevice::Permissions()));
    qputenv("TAVEL_COM1", QFile::encodeName(file.fileName()));
    MSComm comm;
    const CommResult error = comm.setPortOpen(true);
    QVERIFY(error);
    QCOMPARE(error->number, kAccessDenied);
    QVERIFY(error->description.contains(QStringLiteral("dialout")));
}

void TestMSComm::openingOpenPortKeepsItOpen()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    Receiver receiver(comm);

    QVERIFY(!comm.setPortOpen(true));
    QVERIFY(comm.PortOpen());
    QVERIFY(device.write("still"));
    QVERIFY(receiver.waitFor(5));
    QCOMPARE(receiver.bytes, QByteArray("still"));
}

void TestMSComm::closingClosedPortIsNoError()
{
    MSComm comm;
    QVERIFY(!comm.setPortOpen(false));
    QVERIFY(!comm.PortOpen());
}

// properties

void TestMSComm::malformedSettingsAreRejected_data()
{
    QTest::addColumn<QString>("settings");
    QTest::newRow("leading comma") << ",N,8,1";
    QTest::newRow("stop bits missing") << "9600,N,8";
    QTest::newRow("unknown parity") << "9600,X,8,1";
    QTest::newRow("nine data bits") << "9600,N,9,1";
    QTest::newRow("three stop bits") << "9600,N,8,3";
    QTest::newRow("rate not offered") << "9601,N,8,1";
    QTest::newRow("blank") << "9600, N,8,1";
    QTest::newRow("empty") << "";
    QTest::newRow("extra piece") << "9600,N,8,1,1";
}

void TestMSComm::malformedSettingsAreRejected()
{
    QFETCH(QString, settings);
    MSComm comm;
    const QString before = comm.Settings();
    const CommResult error = comm.setSettings(settings);
    QVERIFY(error);
    QCOMPARE(error->number, kInvalidSettings);
    QCOMPARE(error->source, QStringLiteral("MSComm1"));
    QVERIFY(error->description.contains(QStringLiteral("„%1“").arg(settings)));
    QCOMPARE(comm.Settings(), before);
}

void TestMSComm::validSettingsOpenPseudoTerminal_data()
{
    QTest::addColumn<QString>("settings");
    for (int baud : LineSettings::kBaudRates)
        QTest::addRow("%d,N,8,1", baud) << QStringLiteral("%1,N,8,1").arg(baud);
    for (const char *parity : { "E", "O", "M", "S" })
        QTest::addRow("9600,%s,7,1", parity)
            << QStringLiteral("9600,%1,7,1").arg(QLatin1String(parity));
    QTest::newRow("110,N,5,1") << "110,N,5,1";
    QTest::newRow("19200,M,7,2") << "19200,M,7,2";
    QTest::newRow("2400,E,6,2") << "2400,E,6,2";
    QTest::newRow("1200,N,5,1.5") << "1200,N,5,1.5";
}

void TestMSComm::validSettingsOpenPseudoTerminal()
{
    QFETCH(QString, settings);
    PtyDevice device;
    MSComm comm;
    const CommResult error = comm.setSettings(settings);
    QVERIFY2(!error, error ? qPrintable(error->description) : "");
    QCOMPARE(comm.Settings(), settings);
    QVERIFY(openOn(comm, device));

    // Applied to an open port at once, which on a pty means accepted as well.
    QVERIFY(!comm.setSettings(QStringLiteral("9600,N,8,1")));
    QVERIFY(!comm.setSettings(settings));
    QCOMPARE(comm.Settings(), settings);
    QVERIFY(!comm.Output("ok"));
    QCOMPARE(device.read(2), QByteArray("ok"));
}

void TestMSComm::oneAndHalfStopBitsWithEightDataBitsFailAtOpen()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(!comm.setSettings(QStringLiteral("9600,N,8,1.5")));
    qputenv("TAVEL_COM1", QFile::encodeName(device.slavePath()));
    const CommResult error = comm.setPortOpen(true);
    QVERIFY(error);
    QCOMPARE(error->number, kSettingsRefused);
    QVERIFY2(error->description.contains(QStringLiteral("1,5 Stopbits sind nur mit 5 Datenbits")),
        qPrintable(error->description));
    QVERIFY(!comm.PortOpen());
}

void TestMSComm::oneAndHalfStopBitsWithEightDataBitsRefusedWhileOpen()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    const CommResult error = comm.setSettings(QStringLiteral("9600,N,8,1.5"));
    QVERIFY(error);
    QCOMPARE(error->number, kSettingsRefused);
    QCOMPARE(comm.Settings(), QStringLiteral("9600,N,8,1"));
    QVERIFY(comm.PortOpen());
}

void TestMSComm::malformedSettingsWhileOpenLeavePortAsItWas()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    const CommResult error = comm.setSettings(QStringLiteral(",N,8,1"));
    QVERIFY(error);
    QCOMPARE(error->number, kInvalidSettings);
    QVERIFY(comm.PortOpen());
    QCOMPARE(comm.Settings(), QStringLiteral("9600,N,8,1"));
}

void TestMSComm::portNumberOutsideOneAndTwoIsRejected_data()
{
    QTest::addColumn<int>("port");
    QTest::newRow("0") << 0;
    QTest::newRow("3") << 3;
    QTest::newRow("-1") << -1;
}

void TestMSComm::portNumberOutsideOneAndTwoIsRejected()
{
    QFETCH(int, port);
    MSComm comm;
    QVERIFY(!comm.setCommPort(2));
    const CommResult error = comm.setCommPort(port);
    QVERIFY(error);
    QCOMPARE(error->number, kInvalidPortNumber);
    QCOMPARE(comm.CommPort(), 2);
}

void TestMSComm::portNumberCannotChangeWhileOpen()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    const CommResult error = comm.setCommPort(2);
    QVERIFY(error);
    QCOMPARE(error->number, kPortAlreadyOpen);
    QCOMPARE(comm.CommPort(), 1);
}

void TestMSComm::outputOnClosedPortFails()
{
    MSComm comm;
    const CommResult error = comm.Output("x");
    QVERIFY(error);
    QCOMPARE(error->number, kPortNotOpen);
    QCOMPARE(comm.Input(), QByteArray());
}

// the far end going away

void TestMSComm::farEndClosingReportsLossOnceWithoutSpinning()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    QSignalSpy lost(&comm, &MSComm::connectionLost);
    QSignalSpy events(&comm, &MSComm::OnComm);

    device.closeMaster();
    QVERIFY(lost.wait(3000));
    QVERIFY(!comm.PortOpen());

    const double cpuBefore = processCpuMs();
    QTest::qWait(300);
    const double cpuUsed = processCpuMs() - cpuBefore;
    QVERIFY2(cpuUsed < 100.0, qPrintable(QStringLiteral("%1 ms CPU in 300 ms").arg(cpuUsed)));
    QCOMPARE(lost.size(), 1);
    QCOMPARE(events.size(), 0);
    QCOMPARE(comm.Output("x")->number, kPortNotOpen);
}

void TestMSComm::farEndClosingWhileSendingReportsLossOnce()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    QSignalSpy lost(&comm, &MSComm::connectionLost);

    QVERIFY(!comm.Output(randomBytes(1 << 20)));
    QTest::qWait(20);
    device.closeMaster();
    QVERIFY(lost.wait(3000));
    QTest::qWait(100);
    QCOMPARE(lost.size(), 1);
    QVERIFY(!comm.PortOpen());
    QCOMPARE(comm.bytesToWrite(), qint64(0));
}

void TestMSComm::bytesWaitingAtLossCanStillBeTaken()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    QSignalSpy events(&comm, &MSComm::OnComm);
    QSignalSpy lost(&comm, &MSComm::connectionLost);

    QVERIFY(device.write("last words"));
    QTRY_VERIFY(events.size() >= 1);
    device.closeMaster();
    QVERIFY(lost.wait(3000));
    QCOMPARE(comm.Input(), QByteArray("last words"));
    QCOMPARE(comm.Input(), QByteArray());
}

void TestMSComm::portOpensAgainOnNewDeviceAfterLoss()
{
    PtyDevice device;
    MSComm comm;
    QVERIFY(openOn(comm, device));
    QSignalSpy lost(&comm, &MSComm::connectionLost);
    device.closeMaster();
    QVERIFY(lost.wait(3000));

    QVERIFY(device.reopen());
    QVERIFY(openOn(comm, device));
    Receiver receiver(comm);
    QVERIFY(device.write("back"));
    QVERIFY(receiver.waitFor(4));
    QCOMPARE(receiver.bytes, QByteArray("back"));
    QCOMPARE(lost.size(), 1);
}

// the driver's side, tried on a pseudo-terminal

void TestMSComm::everyOfferedBaudRateReachesTheDriver_data()
{
    QTest::addColumn<int>("baud");
    for (int baud : LineSettings::kBaudRates)
        QTest::addRow("%d", baud) << baud;
}

void TestMSComm::everyOfferedBaudRateReachesTheDriver()
{
    QFETCH(int, baud);
    PtyDevice device;
    QSerialPort port(device.slavePath());
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));

    const std::optional<QString> refused = DeviceSetup::applyBaudRate(port, baud);
    QVERIFY2(!refused, refused ? qPrintable(*refused) : "");
    QCOMPARE(DeviceSetup::actualBaudRate(int(port.handle())), std::optional<qint64>(baud));
}

void TestMSComm::parityRefusedByDriverIsReported()
{
    PtyDevice device;
    QSerialPort port(device.slavePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    const std::optional<QString> refused
        = DeviceSetup::apply(port, *LineSettings::parse(QStringLiteral("9600,E,8,1")));
    QVERIFY(refused);
    QVERIFY2(refused->contains(QStringLiteral("Parität")), qPrintable(*refused));
}

void TestMSComm::dataBitsIgnoredByDriverAreDetected()
{
    // The pty driver answers 5 data bits with success and keeps 8.
    PtyDevice device;
    QSerialPort port(device.slavePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    const std::optional<QString> refused
        = DeviceSetup::apply(port, *LineSettings::parse(QStringLiteral("1200,N,5,1.5")));
    QVERIFY(refused);
    QVERIFY2(refused->contains(QStringLiteral("5 Datenbits")), qPrintable(*refused));
}

void TestMSComm::longStopSettingReachesTheDriver()
{
    QCOMPARE(DeviceSetup::qtStopBits(LineSettings::StopBits::OneAndHalf), QSerialPort::TwoStop);
    QCOMPARE(DeviceSetup::qtStopBits(LineSettings::StopBits::Two), QSerialPort::TwoStop);
    QCOMPARE(DeviceSetup::qtStopBits(LineSettings::StopBits::One), QSerialPort::OneStop);

    PtyDevice device;
    QSerialPort port(device.slavePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
    QCOMPARE(DeviceSetup::apply(port, *LineSettings::parse(QStringLiteral("56000,N,8,2"))),
        std::optional<QString>());
    termios settings = {};
    QCOMPARE(::tcgetattr(int(port.handle()), &settings), 0);
    QVERIFY(settings.c_cflag & CSTOPB);
    QCOMPARE(DeviceSetup::apply(port, *LineSettings::parse(QStringLiteral("56000,N,8,1"))),
        std::optional<QString>());
    QCOMPARE(::tcgetattr(int(port.handle()), &settings), 0);
    QVERIFY(!(settings.c_cflag & CSTOPB));
}

// COMn to device

void TestMSComm::environmentNamesDeviceForPort()
{
    qputenv("TAVEL_COM1", "/dev/ttyUSB0");
    qputenv("TAVEL_COM2", "/dev/pts/7");
    QCOMPARE(ComPortMap::devicePath(1), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(ComPortMap::devicePath(2), QStringLiteral("/dev/pts/7"));

    MSComm comm;
    QVERIFY(!comm.setCommPort(2));
    QCOMPARE(comm.devicePath(), QStringLiteral("/dev/pts/7"));
}

// the device simulator

void TestMSComm::simulatorEchoesEveryByteValue()
{
    QVERIFY2(QFileInfo::exists(devicesimPath()), qPrintable(devicesimPath()));
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("ttyV0"));
    {
        Devicesim sim({ QStringLiteral("--echo"), QStringLiteral("--link"), link });
        QVERIFY(sim.slavePath.startsWith(QLatin1String("/dev/")));
        QCOMPARE(QFileInfo(link).canonicalFilePath(), sim.slavePath);

        qputenv("TAVEL_COM1", QFile::encodeName(link));
        MSComm comm;
        QVERIFY(!comm.setPortOpen(true));
        Receiver receiver(comm);
        QVERIFY(!comm.Output(allByteValues()));
        QVERIFY(receiver.waitFor(256));
        QCOMPARE(receiver.bytes, allByteValues());
    }
    // A clean end takes the link away.
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestMSComm::simulatorStreamsRequestedAmount()
{
    QVERIFY2(QFileInfo::exists(devicesimPath()), qPrintable(devicesimPath()));
    Devicesim sim({ QStringLiteral("--stream"), QStringLiteral("100000"),
        QStringLiteral("--pattern"), QStringLiteral("text") });
    QVERIFY(!sim.slavePath.isEmpty());
    qputenv("TAVEL_COM1", QFile::encodeName(sim.slavePath));
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

void TestMSComm::simulatorRecordsWhatItReceives()
{
    QVERIFY2(QFileInfo::exists(devicesimPath()), qPrintable(devicesimPath()));
    QTemporaryDir folder;
    const QString record = folder.filePath(QStringLiteral("record.bin"));
    Devicesim sim({ QStringLiteral("--record"), record });
    QVERIFY(!sim.slavePath.isEmpty());
    qputenv("TAVEL_COM1", QFile::encodeName(sim.slavePath));
    MSComm comm;
    QVERIFY(!comm.setPortOpen(true));
    QVERIFY(!comm.Output(allByteValues()));

    QByteArray recorded;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile file(record);
            if (file.open(QIODevice::ReadOnly))
                recorded = file.readAll();
            return recorded.size() >= 256;
        }(),
        5000);
    QCOMPARE(recorded, allByteValues());
}

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
