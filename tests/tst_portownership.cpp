#include "filehelpers.h"
#include "flockholder.h"
#include "folderchangetracer.h"
#include "ptydevice.h"
#include "serial/mscomm.h"
#include "testbytes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// A port is Tavel's alone while it is open, and a Tavel that ends however it
// ends leaves nothing that keeps the next one out. The holders and racers are
// real processes: this test started again with an argument, flock(1), and
// the real program followed call by call.

using namespace CommErrorNumber;

namespace {

void pointCom(int port, const QString &path)
{
    qputenv(port == 1 ? "TAVEL_COM1" : "TAVEL_COM2", QFile::encodeName(path));
}

// The folder QSerialPort keeps its lock files in on this machine, chosen as it
// chooses: the first of its folders that it may read and write.
QString qtLockFolder()
{
    const QStringList folders = { QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"),
        QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
        QStandardPaths::writableLocation(QStandardPaths::TempLocation) };
    for (const QString &folder : folders) {
        const QFileInfo info(folder);
        if (info.isDir() && info.isReadable() && info.isWritable())
            return info.canonicalFilePath();
    }
    return {};
}

QString lockFileFor(const PtyDevice &device)
{
    return qtLockFolder() + QStringLiteral("/LCK..") + device.slavePath().mid(5).replace('/', '_');
}

QByteArray uucpForm(qint64 pid)
{
    return QByteArray::number(pid).rightJustified(10) + '\n';
}

QString nameOf(qint64 pid)
{
    return QString::fromLocal8Bit(contentsOf(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed());
}

QString heldBy(qint64 pid)
{
    return QStringLiteral("belegt von %1 (PID %2)").arg(nameOf(pid)).arg(pid);
}

// The exclusive flag outlives a killed holder while any descriptor of the
// tty stays open, and a pty's stays while its master does; a device with
// nobody else on it drops the flag with its last descriptor. The test plays
// that last close. Root is not kept out by the flag anyway.
void dropExclusiveFlag(const PtyDevice &device)
{
    ::ioctl(device.slaveFd(), TIOCNXCL);
}

// The environment for a program the test follows call by call. LeakSanitizer
// stops every thread with ptrace at the exit, which a traced process refuses.
QByteArrayList tracedEnvironment(QProcessEnvironment environment)
{
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    QByteArrayList variables;
    for (const QString &variable : environment.toStringList())
        variables << variable.toLocal8Bit();
    return variables;
}

// Run as a child of this test: waits for a line on its input, opens COM1 on
// the path and tells how that went, then holds the port until its input ends.
int openOnCue(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qputenv("TAVEL_COM1", argv[2]);
    MSComm comm;
    std::printf("ready\n");
    std::fflush(stdout);
    char byte = 0;
    while (::read(STDIN_FILENO, &byte, 1) == 1 && byte != '\n') { }
    if (const CommResult error = comm.setPortOpen(true))
        std::printf("failed %d %s\n", error->number, qPrintable(error->description));
    else
        std::printf("held\n");
    std::fflush(stdout);
    while (::read(STDIN_FILENO, &byte, 1) > 0) { }
    return 0;
}

// Run as a child of this test, as someone without privileges where the test
// runs as root: tries for half a second to open the device and read from it.
int tryToOpen(const char *path)
{
    if (::geteuid() == 0
        && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        return 2;
    constexpr int kAttempts = 50;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0) {
            // Whatever it reads is missing on Tavel's side.
            qint64 taken = 0;
            char buffer[4096];
            for (; attempt < kAttempts; ++attempt, ::usleep(10000)) {
                for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
                    taken += n;
            }
            std::printf("opened, took %lld bytes\n", taken);
            return 0;
        }
        if (attempt == kAttempts - 1)
            std::printf("refused %d\n", errno);
        ::usleep(10000);
    }
    return 0;
}

} // namespace

class TestPortOwnership : public QObject
{
    Q_OBJECT

private:
    // Starts openOnCue; true once it is ready for its cue.
    static bool startOpener(QProcess &opener, const QString &path)
    {
        opener.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--open"), path });
        return opener.waitForReadyRead(10000) && opener.readLine() == "ready\n";
    }
    static QByteArray answerOf(QProcess &opener)
    {
        if (!opener.canReadLine())
            opener.waitForReadyRead(20000);
        return opener.readLine().trimmed();
    }

private Q_SLOTS:
    void cleanup()
    {
        qunsetenv("TAVEL_COM1");
        qunsetenv("TAVEL_COM2");
    }

    // flock, as another Tavel holds a device whatever lock folder it sees:
    // refused before the device is touched. Opened, even by root past the
    // holder's exclusive flag, it would lose that flag as Qt closes it.
    void deviceHeldWithFlockIsRefusedNamingItsHolder()
    {
        PtyDevice device;
        pointCom(1, device.slavePath());
        FlockHolder holder(device.slavePath());
        QVERIFY(holder.held);
        QCOMPARE(::ioctl(device.slaveFd(), TIOCEXCL), 0);

        MSComm comm;
        const CommResult error = comm.setPortOpen(true);
        QVERIFY(error);
        QCOMPARE(error->number, kPortInUse);
        QCOMPARE(error->description,
            QStringLiteral("COM1 (%1) wird bereits von einem anderen Programm benutzt (%2).")
                .arg(device.slavePath(), heldBy(holder.pid)));
        QVERIFY(!comm.PortOpen());
        int exclusive = 0;
        QCOMPARE(::ioctl(device.slaveFd(), TIOCGEXCL, &exclusive), 0);
        QCOMPARE(exclusive, 1);

        holder.release();
        dropExclusiveFlag(device);
        QVERIFY(!comm.setPortOpen(true));
    }

    // The loser of a race past the look at the locks: held at the creation
    // of its lock file, after the look and before its opening, while another
    // program takes the device; the lock it takes on the open device keeps
    // it out all the same.
    void lockAfterOpeningKeepsOutARaceLoser()
    {
        const QString folder = qtLockFolder();
        if (folder.isEmpty())
            QSKIP("no lock folder that QSerialPort would write to");
        PtyDevice device;
        QTemporaryDir scratch;
        const QString output = scratch.filePath(QStringLiteral("output"));
        const pid_t pid = FolderChangeTracer::spawnHeld(
            { QFile::encodeName(QCoreApplication::applicationFilePath()), "--open",
                QFile::encodeName(device.slavePath()) },
            tracedEnvironment(QProcessEnvironment::systemEnvironment()), output);
        QVERIFY(pid > 0);
        FolderChangeTracer tracer(folder);
        QString problem;
        QVERIFY2(tracer.attach(pid, problem), qPrintable(problem));
        // Its input is empty: it goes on at once.
        QVERIFY2(tracer.runToNextChange() == FolderChangeTracer::Step::HeldAtChange,
            qPrintable(tracer.problem()));
        QCOMPARE(
            tracer.change(), QStringLiteral("openat ") + QFileInfo(lockFileFor(device)).fileName());

        FlockHolder holder(device.slavePath());
        QVERIFY(holder.held);
        while (tracer.runToNextChange() == FolderChangeTracer::Step::HeldAtChange) { }
        QVERIFY2(tracer.problem().isEmpty(), qPrintable(tracer.problem()));
        QCOMPARE(contentsOf(output).split('\n').value(1),
            QStringLiteral("failed 8005 COM1 (%1) wird bereits von einem anderen Programm "
                           "benutzt (%2).")
                .arg(device.slavePath(), heldBy(holder.pid))
                .toUtf8());
        QVERIFY(!QFileInfo::exists(lockFileFor(device)));
    }

    void staleLockFileGoesAtOnce_data()
    {
        QTest::addColumn<QByteArray>("content"); // PID stands for the process of the row
        QTest::addColumn<QString>("process"); // "", "ended" or "living"
        QTest::addColumn<bool>("heldWithFlock");
        QTest::addColumn<bool>("opens");
        QTest::newRow("empty") << QByteArray() << "" << false << true;
        QTest::newRow("no number") << QByteArray("tavel\n") << "" << false << true;
        QTest::newRow("beyond pid_t") << QByteArray("99999999999\n") << "" << false << true;
        QTest::newRow("negative") << QByteArray("-42\n") << "" << false << true;
        QTest::newRow("ended, ten columns") << QByteArray("PID") << "ended" << false << true;
        QTest::newRow("ended, QLockFile's form")
            << QByteArray("PID\ntavel\nhost\n") << "ended" << false << true;
        QTest::newRow("living, ten columns") << QByteArray("PID") << "living" << false << false;
        // A QLockFile holds its file from before it has written its PID.
        QTest::newRow("empty but held") << QByteArray() << "" << true << false;
    }
    void staleLockFileGoesAtOnce()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, process);
        QFETCH(bool, heldWithFlock);
        QFETCH(bool, opens);
        if (qtLockFolder().isEmpty())
            QSKIP("no lock folder that QSerialPort would write to");
        PtyDevice device;
        pointCom(1, device.slavePath());
        QProcess other;
        if (!process.isEmpty()) {
            other.start(QStringLiteral("sleep"), { QStringLiteral("60") });
            QVERIFY(other.waitForStarted(10000));
            const qint64 pid = other.processId();
            if (process == QLatin1String("ended")) {
                other.kill();
                QVERIFY(other.waitForFinished(10000));
            }
            content.replace("PID", content == "PID" ? uucpForm(pid) : QByteArray::number(pid));
        }
        const QString lockFile = lockFileFor(device);
        QVERIFY(writeFile(lockFile, content));
        std::unique_ptr<FlockHolder> holder;
        if (heldWithFlock) {
            holder = std::make_unique<FlockHolder>(lockFile);
            QVERIFY(holder->held);
        }

        MSComm comm;
        const CommResult error = comm.setPortOpen(true);
        if (!opens) {
            QVERIFY(error);
            QCOMPARE(error->number, kPortInUse);
            const qint64 holderPid = heldWithFlock ? holder->pid : other.processId();
            QVERIFY2(
                error->description.contains(heldBy(holderPid)), qPrintable(error->description));
            QCOMPARE(contentsOf(lockFile), content);
            QFile::remove(lockFile);
            other.kill();
            other.waitForFinished(10000);
            return;
        }
        QVERIFY2(!error, error ? qPrintable(error->description) : "");
        // Held now, in the form other terminal programs read.
        QCOMPARE(contentsOf(lockFile), uucpForm(QCoreApplication::applicationPid()));
        QVERIFY(!comm.setPortOpen(false));
        QVERIFY(!QFileInfo::exists(lockFile));
    }

    // Two processes opening one device at the same moment, again and again:
    // one has it, the other is told who.
    void racingOpenersLeaveTheDeviceToOne()
    {
        PtyDevice device;
        for (int round = 0; round < 6; ++round) {
            QProcess first;
            QProcess second;
            QVERIFY(startOpener(first, device.slavePath()));
            QVERIFY(startOpener(second, device.slavePath()));
            first.write("\n");
            second.write("\n");
            const QByteArray answers[2] = { answerOf(first), answerOf(second) };
            const int winner = answers[0] == "held" ? 0 : 1;
            QProcess &loser = winner == 0 ? second : first;
            const qint64 winnerPid = (winner == 0 ? first : second).processId();
            QVERIFY2(answers[winner] == "held" && answers[1 - winner].startsWith("failed 8005 ")
                    && answers[1 - winner].contains(heldBy(winnerPid).toUtf8()),
                answers[0] + " / " + answers[1]);
            for (QProcess *opener : { &loser, winner == 0 ? &first : &second }) {
                opener->closeWriteChannel();
                QVERIFY(opener->waitForFinished(10000));
            }
        }
        if (!qtLockFolder().isEmpty())
            QVERIFY(!QFileInfo::exists(lockFileFor(device)));
    }

    // While Tavel holds the device, another process cannot open it (the
    // kernel's exclusive flag; the test's child gives up root first, which the
    // flag does not stop), and what the device sends reaches Tavel whole.
    void secondOpenerIsKeptOutAndBytesArriveWhole()
    {
        PtyDevice device;
        pointCom(1, device.slavePath());
        MSComm comm;
        QVERIFY(!comm.setPortOpen(true));
        QByteArray received;
        connect(&comm, &MSComm::OnComm, this, [&] { received += comm.Input(); });
        // Open to all, so that only the flag stands in the way.
        QCOMPARE(::fchmod(device.slaveFd(), 0666), 0);

        QProcess other;
        other.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--try-open"), device.slavePath() });
        QVERIFY(other.waitForStarted(10000));
        const QByteArray sent = everyByteValue(0, 256 * 1024);
        QVERIFY(device.write(sent, 20000));
        QVERIFY(other.waitForFinished(20000));
        QCOMPARE(other.exitCode(), 0);
        QCOMPARE(other.readAllStandardOutput(), "refused " + QByteArray::number(EBUSY) + '\n');
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), sent.size(), 20000);
        QVERIFY(received == sent);
    }

    // The real program killed at every change it makes in the lock folder
    // while it probes both ports at its start, the port open among them: the
    // next one to open the ports gets them at once.
    void programKilledDuringItsProbeLeavesThePortsFree()
    {
        const QString folder = qtLockFolder();
        if (folder.isEmpty())
            QSKIP("no lock folder that QSerialPort would write to");
        PtyDevice devices[2];
        pointCom(1, devices[0].slavePath());
        pointCom(2, devices[1].slavePath());
        QTemporaryDir scratch;
        const QString program = scratch.filePath(QStringLiteral("tavel"));
        QVERIFY(QFile::copy(QStringLiteral(TAVEL_EXECUTABLE), program));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TAVEL_COM1"), devices[0].slavePath());
        environment.insert(QStringLiteral("TAVEL_COM2"), devices[1].slavePath());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QByteArrayList variables = tracedEnvironment(environment);

        // Runs the program until it is held before change number killAt, and
        // kills it there; past its last change it ends by itself, as it was
        // asked to end at its first.
        const auto run = [&](int killAt, QStringList &changes) {
            changes.clear();
            const pid_t pid = FolderChangeTracer::spawnHeld(
                { QFile::encodeName(program) }, variables, QStringLiteral("/dev/null"));
            FolderChangeTracer tracer(folder);
            QString problem;
            if (pid < 0 || !tracer.attach(pid, problem))
                return problem + QStringLiteral(" (start)");
            while (tracer.runToNextChange() == FolderChangeTracer::Step::HeldAtChange) {
                if (changes.isEmpty())
                    ::kill(pid, SIGTERM);
                changes << tracer.change();
                if (changes.size() > killAt) {
                    tracer.kill();
                    return QString();
                }
            }
            const int status = tracer.exitStatus();
            if (!tracer.problem().isEmpty() || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
                return tracer.problem() + QStringLiteral(" (status %1)").arg(status);
            return QString();
        };

        QStringList all;
        QString problem = run(INT_MAX, all);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        qInfo("the probe makes %lld changes in the lock folder: %s", qint64(all.size()),
            qPrintable(all.join(QStringLiteral("; "))));
        QVERIFY(all.size() >= 4);
        for (int killAt = 0; killAt < all.size(); ++killAt) {
            QStringList seen;
            problem = run(killAt, seen);
            const QString when = QStringLiteral("killed before %1: ").arg(seen.value(killAt));
            QVERIFY2(problem.isEmpty(), qPrintable(when + problem));
            for (int port : { 1, 2 }) {
                const PtyDevice &device = devices[port - 1];
                dropExclusiveFlag(device);
                MSComm comm;
                QVERIFY(!comm.setCommPort(port));
                const CommResult error = comm.setPortOpen(true);
                QVERIFY2(!error, qPrintable(when + (error ? error->description : QString())));
                QVERIFY(!comm.setPortOpen(false));
                QVERIFY2(!QFileInfo::exists(lockFileFor(device)), qPrintable(when));
            }
        }
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--open") == 0)
        return openOnCue(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--try-open") == 0)
        return tryToOpen(argv[2]);
    QCoreApplication app(argc, argv);
    TestPortOwnership test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_portownership.moc"
