// Streams binary traffic from a pseudo-terminal through Debian's ser2net, over
// its raw TCP accepter and its Telnet (RFC 2217) accepter, into the program's
// port object and received-data window, and compares the rate with socat
// draining the same accepter in the same run. See README.md.

#include "app/mditavel.h"
#include "latencyprobe.h"
#include "ptystream.h"
#include "residentmemory.h"
#include "ser2netserver.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "streamshape.h"
#include "tavelprogram.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "windows/trafficview/trafficview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A run that makes no progress for this long has stalled.
constexpr int kStallMs = 30000;
// The longest the window may stand still.
constexpr double kFrozenMs = 250;
// The reference drains before and after the program's run.
constexpr int kDrains = 2;

void report(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

double threadCpuSeconds()
{
    struct timespec now = {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double secondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// A 16 ms timer in the window's thread, as LatencyProbe has it, that also
// notes how much CPU the thread used between two ticks: a long gap in which
// the thread ran is the program's own work; one in which it did not is a
// wait for the processor (or for a lock, or a page).
class StallProbe : public QObject
{
public:
    struct Gap
    {
        double ms = 0;
        double cpuMs = 0;
    };

    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(LatencyProbe::kIntervalMs);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const double now = double(m_clock.nsecsElapsed()) / 1e6;
            const double cpu = threadCpuSeconds() * 1e3;
            m_gaps.append({ now - m_last, cpu - m_lastCpu });
            m_last = now;
            m_lastCpu = cpu;
        });
    }

    void start()
    {
        m_gaps.clear();
        m_clock.start();
        m_last = 0;
        m_lastCpu = threadCpuSeconds() * 1e3;
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    qsizetype ticks() const { return m_gaps.size(); }

    Gap longest() const
    {
        Gap worst;
        for (const Gap &gap : m_gaps)
            worst = gap.ms > worst.ms ? gap : worst;
        return worst;
    }
    // How late the ticks came at the given percentile, in ms.
    double lateness(double p) const
    {
        if (m_gaps.isEmpty())
            return 0;
        QList<double> late;
        for (const Gap &gap : m_gaps)
            late.append(std::max(0.0, gap.ms - LatencyProbe::kIntervalMs));
        std::sort(late.begin(), late.end());
        const auto index = qsizetype(std::ceil(p / 100 * double(late.size()))) - 1;
        return late[std::clamp<qsizetype>(index, 0, late.size() - 1)];
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_last = 0;
    double m_lastCpu = 0;
    QList<Gap> m_gaps;
};

// Times the handling of every socket notification: in the program's run that
// is the server's socket becoming readable, with everything the read sets off
// (the Telnet decoding, OnComm, the append to the log and both views).
class BenchApplication : public QApplication
{
public:
    using QApplication::QApplication;

    struct Handling
    {
        double ms = 0; // wall time
        double cpuMs = 0; // the thread's CPU in it
    };

    // The longest handling since the last call, and the one that took the
    // most CPU.
    Handling takeLongest() { return std::exchange(m_longest, {}); }
    Handling takeCostliest() { return std::exchange(m_costliest, {}); }

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (event->type() != QEvent::SockAct)
            return QApplication::notify(receiver, event);
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = threadCpuSeconds();
        const bool handled = QApplication::notify(receiver, event);
        const Handling now { double(clock.nsecsElapsed()) / 1e6,
            (threadCpuSeconds() - cpuBefore) * 1e3 };
        m_longest = now.ms > m_longest.ms ? now : m_longest;
        m_costliest = now.cpuMs > m_costliest.cpuMs ? now : m_costliest;
        return handled;
    }

private:
    Handling m_longest;
    Handling m_costliest;
};

BenchApplication *benchApp()
{
    return static_cast<BenchApplication *>(QCoreApplication::instance());
}

// Keeps the event loop running until done() holds, asking every pollMs;
// false when timeoutMs passed first.
bool waitUntil(const std::function<bool()> &done, int timeoutMs, int pollMs = 2)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(pollMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

enum class Accepter { Raw, Telnet };

const char *nameOf(Accepter accepter)
{
    return accepter == Accepter::Raw ? "raw TCP" : "Telnet, RFC 2217";
}

quint16 portOf(Accepter accepter, const Ser2NetServer &server)
{
    return accepter == Accepter::Raw ? server.rawPort() : server.telnetPort();
}

// The port's address as COM1 names it.
QString addressOf(Accepter accepter, const Ser2NetServer &server)
{
    return QStringLiteral("%1://127.0.0.1:%2")
        .arg(accepter == Accepter::Raw ? QStringLiteral("tcp") : QStringLiteral("rfc2217"))
        .arg(portOf(accepter, server));
}

// The ser2net process that has the device open, or 0. ser2net opens it only
// once a client has connected, and may drop what the device sent before.
qint64 ser2netHolding(const QString &device)
{
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (!isNumber || pid == QCoreApplication::applicationPid())
            continue;
        QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "ser2net")
            continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
            if (fd.symLinkTarget() == device)
                return pid;
        }
    }
    return 0;
}

// User and system CPU seconds a process has used so far.
double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The fields after the command's name, which may hold spaces: state is
    // the first, utime the 12th, stime the 13th.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return double(fields[11].toLongLong() + fields[12].toLongLong())
        / double(::sysconf(_SC_CLK_TCK));
}

// What a Telnet server sends for these bytes beyond them: one more FF for each.
qint64 telnetEscapes(const StreamShape &shape, qint64 count)
{
    constexpr qint64 kPiece = 64 * 1024;
    qint64 escapes = 0;
    for (qint64 from = 0; from < count; from += kPiece) {
        const QByteArrayView bytes = shape.bytes(from, std::min(kPiece, count - from));
        escapes += std::count(bytes.begin(), bytes.end(), '\xff');
    }
    return escapes;
}

QByteArray streamHash(const StreamShape &shape, qint64 count)
{
    constexpr qint64 kPiece = 64 * 1024;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (qint64 from = 0; from < count; from += kPiece)
        hash.addData(shape.bytes(from, std::min(kPiece, count - from)));
    return hash.result().toHex();
}

QByteArray logHash(const TrafficLog &log)
{
    constexpr qint64 kPiece = 1 << 20;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (qint64 from = 0; from < log.size(); from += kPiece)
        hash.addData(log.bytes(from, std::min(kPiece, log.size() - from)));
    return hash.result().toHex();
}

// What the server's side of the connection sent, as the kernel counts it.
struct Segments
{
    qint64 bytes = 0;
    qint64 segments = 0;
    double rttMs = 0; // the server's smoothed round-trip time
    double perSegment() const { return segments > 0 ? double(bytes) / double(segments) : 0; }
};

// Asked of ss(8) for the established connection from the accepter's port
// (one client at a time); zeros where ss is missing.
Segments segmentsFrom(quint16 port)
{
    QProcess ss;
    ss.start(QStringLiteral("ss"),
        { QStringLiteral("-tinH"), QStringLiteral("state"), QStringLiteral("established"),
            QStringLiteral("( sport = :%1 )").arg(port) });
    if (!ss.waitForFinished(5000))
        return {};
    Segments segments;
    for (const QByteArray &field : ss.readAllStandardOutput().simplified().split(' ')) {
        const qsizetype colon = field.indexOf(':');
        const QByteArray name = field.left(colon);
        const QByteArray value = field.mid(colon + 1);
        if (name == "bytes_sent")
            segments.bytes = value.toLongLong();
        else if (name == "data_segs_out")
            segments.segments = value.toLongLong();
        else if (name == "rtt")
            segments.rttMs = value.left(value.indexOf('/')).toDouble();
    }
    return segments;
}

QString describe(const Segments &s)
{
    return QStringLiteral("ser2net sent %1 segments, %2 bytes each, round trip %3 ms")
        .arg(s.segments)
        .arg(s.perSegment(), 0, 'f', 0)
        .arg(s.rttMs, 0, 'f', 3);
}

// One reference drain by socat.
struct Drain
{
    qint64 bytes = 0; // stream bytes sent through
    qint64 received = 0; // what socat passed on, Telnet's doubled FF included
    double seconds = 0;
    double ser2netCpu = 0;
    double socatCpu = 0;
    Segments segments;
    bool failed = false;
    double rate() const { return seconds > 0 ? double(bytes) / 1e6 / seconds : 0; }
};

// socat reading the accepter and writing what it gets to a pipe, which a
// thread of this process empties and counts; the moment the count reaches
// what the stream must bring is the end of the drain.
Drain drainWithSocat(PtyStream &pty, Accepter accepter, const Ser2NetServer &server,
    const StreamShape &shape, qint64 count, qint64 escapes)
{
    Drain drain;
    drain.bytes = count;
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        report("no pipe: %s\n", std::strerror(errno));
        drain.failed = true;
        return drain;
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    QByteArray address = "TCP:127.0.0.1:" + QByteArray::number(portOf(accepter, server));
    QByteArray program("socat"), oneWay("-u"), toStdout("-");
    char *arguments[] = { program.data(), oneWay.data(), address.data(), toStdout.data(), nullptr };
    pid_t socat = 0;
    const int spawned = ::posix_spawnp(&socat, "socat", &actions, nullptr, arguments, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        report("cannot start socat: %s\n", std::strerror(spawned));
        ::close(pipeEnds[0]);
        drain.failed = true;
        return drain;
    }

    std::atomic<qint64> received = 0;
    std::atomic<qint64> target = std::numeric_limits<qint64>::max();
    std::atomic<bool> reached = false;
    std::atomic<bool> ended = false;
    Clock::time_point reachedAt;
    std::thread reader([&] {
        std::vector<char> buffer(256 * 1024);
        for (;;) {
            const ssize_t n = ::read(pipeEnds[0], buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            const qint64 now = received.fetch_add(n) + n;
            if (!reached && now >= target.load()) {
                reachedAt = Clock::now();
                reached = true;
            }
        }
        ended = true;
    });

    const QString device = pty.slavePath();
    qint64 ser2net = 0;
    if (!waitUntil([&] { return (ser2net = ser2netHolding(device)) != 0 || ended; }, 5000)
        || ended) {
        report("socat: ser2net did not open %s\n", qPrintable(device));
        drain.failed = true;
    }
    if (!drain.failed) {
        // What came before the stream (the Telnet negotiation) does not count.
        const qint64 before = received.load();
        target = before + count + (accepter == Accepter::Telnet ? escapes : 0);
        const double serverCpuBefore = processCpuSeconds(ser2net);
        const Clock::time_point start = Clock::now();
        pty.start(shape, 0, count);
        qint64 lastSeen = -1;
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        waitUntil(
            [&] {
                if (received.load() != lastSeen) {
                    lastSeen = received.load();
                    sinceProgress.restart();
                }
                return reached || ended || sinceProgress.elapsed() > kStallMs;
            },
            std::numeric_limits<int>::max(), 20);
        if (reached) {
            drain.seconds = secondsBetween(start, reachedAt);
            drain.ser2netCpu = processCpuSeconds(ser2net) - serverCpuBefore;
            drain.socatCpu = processCpuSeconds(socat);
            drain.segments = segmentsFrom(portOf(accepter, server));
            pty.finish();
            // Anything more that comes would be counted too.
            waitUntil([] { return false; }, 100);
            drain.received = received.load() - before;
        } else {
            report("socat: stalled after %lld of %lld bytes\n", received.load() - before,
                target.load() - before);
            drain.failed = true;
        }
    }
    ::kill(socat, SIGTERM);
    ::waitpid(socat, nullptr, 0);
    reader.join();
    ::close(pipeEnds[0]);
    // A writer that could not finish stops with the pty.
    return drain;
}

// The program with its received-data window shown, COM1 a port on the server.
struct Session
{
    std::unique_ptr<TavelProgram> program;
    FrmEmpfang *form = nullptr;

    bool open(const QString &address)
    {
        program = std::make_unique<TavelProgram>(address);
        if (!program->started()) {
            report("the main window did not start: %s\n",
                qPrintable(program->dialogs().messageTexts().join(u"; ")));
            return false;
        }
        form = &program->window().empfang().show();
        QCoreApplication::processEvents();
        report("received-data window: %d x %d px, text view %d columns x %d rows, hex view %d x "
               "%d, visible %s\n",
            form->frame()->width(), form->frame()->height(), form->Text1->columns(),
            form->Text1->visibleRowCount(), form->Text2->columns(), form->Text2->visibleRowCount(),
            form->frame()->isVisible() && form->Text1->isVisible() && form->Text2->isVisible()
                ? "both views"
                : "NO");
        return true;
    }
};

// What the program's run measured.
struct Received
{
    qint64 bytes = 0;
    double seconds = 0;
    double connectMs = 0;
    double disconnectMs = 0;
    double windowCpu = 0; // seconds of the window's thread while streaming
    double ser2netCpu = 0;
    qint64 reads = 0; // receive events that brought bytes
    qint64 largestRead = 0;
    // Handling one readable notification: the longest, the costliest.
    BenchApplication::Handling longestRead;
    BenchApplication::Handling costliestRead;
    qint64 residentGrowth = 0; // with everything arrived
    qint64 peakGrowth = 0;
    double lateP99 = 0;
    StallProbe::Gap longestGap;
    qsizetype ticks = 0;
    Segments segments;
    bool exact = false;
    QByteArray hash;
    bool failed = false;
    double rate() const { return seconds > 0 ? double(bytes) / 1e6 / seconds : 0; }
};

// Connects with the settings window's "Verbindung herstellen", streams the
// bytes into the received-data window and disconnects with "Verbindung
// trennen"; the window's thread is watched from the click until the last
// byte is in the log, and the disconnect is timed on its own.
Received receiveInTavel(
    Session &session, PtyStream &pty, const StreamShape &shape, qint64 count, quint16 port)
{
    MDITavel &window = session.program->window();
    FrmEinstellungen &settings = *window.einstellungen().loaded();
    FrmEmpfang &form = *session.form;
    MSComm &comm = window.MSComm1();
    Received result;

    QObject scope;
    bool opened = false;
    std::optional<QString> failure;
    QObject::connect(&comm, &MSComm::opened, &scope, [&] { opened = true; });
    QObject::connect(&comm, &MSComm::openFailed, &scope,
        [&](const CommError &error) { failure = error.description; });
    QEventLoop streaming;
    qint64 arrived = 0;
    Clock::time_point arrivedAt;
    // Connected after the main window's own OnComm, so it sees the log
    // after each append.
    QObject::connect(&comm, &MSComm::OnComm, &scope, [&] {
        const qint64 size = form.log().size();
        if (size > arrived)
            ++result.reads;
        result.largestRead = std::max(result.largestRead, size - arrived);
        arrived = size;
        if (arrived >= count) {
            arrivedAt = Clock::now();
            streaming.quit();
        }
    });

    const qint64 residentBefore = residentBytes();
    qint64 residentPeak = residentBefore;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout,
        [&] { residentPeak = std::max(residentPeak, residentBytes()); });
    sampler.start(50);
    StallProbe probe;
    probe.start();
    QElapsedTimer connecting;
    connecting.start();
    settings.Command3->click();
    if (!waitUntil([&] { return opened || failure; }, 20000) || failure) {
        report("connecting failed: %s %s\n", failure ? qPrintable(*failure) : "(no answer)",
            qPrintable(session.program->dialogs().messageTexts().join(u"; ")));
        result.failed = true;
        return result;
    }
    result.connectMs = double(connecting.nsecsElapsed()) / 1e6;
    qint64 ser2net = 0;
    if (!waitUntil([&] { return (ser2net = ser2netHolding(pty.slavePath())) != 0; }, 5000)) {
        report("ser2net did not open %s\n", qPrintable(pty.slavePath()));
        result.failed = true;
        return result;
    }

    QTimer watchdog;
    qint64 lastSeen = -1;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    bool stalled = false;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (arrived != lastSeen) {
            lastSeen = arrived;
            sinceProgress.restart();
        } else if (sinceProgress.elapsed() > kStallMs) {
            stalled = true;
            streaming.quit();
        }
    });
    watchdog.start(500);
    const double cpuBefore = threadCpuSeconds();
    const double serverCpuBefore = processCpuSeconds(ser2net);
    benchApp()->takeLongest();
    benchApp()->takeCostliest();
    const Clock::time_point start = Clock::now();
    pty.start(shape, 0, count);
    streaming.exec();
    watchdog.stop();
    result.windowCpu = threadCpuSeconds() - cpuBefore;
    result.longestRead = benchApp()->takeLongest();
    result.costliestRead = benchApp()->takeCostliest();
    result.ser2netCpu = processCpuSeconds(ser2net) - serverCpuBefore;
    result.bytes = arrived;
    if (stalled) {
        report("stalled after %lld of %lld bytes\n", arrived, count);
        result.failed = true;
        return result;
    }
    result.seconds = secondsBetween(start, arrivedAt);
    result.residentGrowth = residentBytes() - residentBefore;
    probe.stop();
    sampler.stop();
    pty.finish();
    result.segments = segmentsFrom(port);

    QElapsedTimer disconnecting;
    disconnecting.start();
    settings.Command2->click();
    result.disconnectMs = double(disconnecting.nsecsElapsed()) / 1e6;
    result.peakGrowth = std::max(residentPeak, residentBytes()) - residentBefore;
    result.lateP99 = probe.lateness(99);
    result.longestGap = probe.longest();
    result.ticks = probe.ticks();
    result.exact = logHoldsTheStream(form.log(), shape, count);
    result.hash = logHash(form.log());
    return result;
}

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

int streamAccepter(Accepter accepter, qint64 count)
{
    const StreamShape shape(StreamShape::Kind::Binary);
    const qint64 escapes = telnetEscapes(shape, count);
    const QByteArray sentHash = streamHash(shape, count);
    report("\n## %s accepter, %lld MiB of %s (%lld FF bytes)\n", nameOf(accepter), count >> 20,
        qPrintable(shape.name()), escapes);
    PtyStream pty;
    if (!pty.isOpen()) {
        report("no pseudo-terminal: %s\n", qPrintable(pty.errorString()));
        return 1;
    }
    Ser2NetServer server;
    if (!server.start(pty.slavePath())) {
        report("ser2net did not start: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    Session session;
    if (!session.open(addressOf(accepter, server)))
        return 1;

    // socat just before and just after the program, so that the reference is
    // the rate of the same moment on a machine whose load changes.
    QList<Drain> drains;
    std::optional<Received> received;
    for (int i = 0; i < kDrains; ++i) {
        if (!server.waitUntilIdle()) {
            report("ser2net keeps the device open\n");
            return 1;
        }
        drains.append(drainWithSocat(pty, accepter, server, shape, count, escapes));
        const Drain &d = drains.constLast();
        if (d.failed)
            return 1;
        report("socat: %lld bytes in %.2f s, %.1f MB/s; socat passed on %lld bytes (%+lld); "
               "CPU: ser2net %.2f s (%.0f%%), socat %.2f s, writer %.2f s\n"
               "  %s\n",
            d.bytes, d.seconds, d.rate(), d.received, d.received - d.bytes, d.ser2netCpu,
            100 * d.ser2netCpu / d.seconds, d.socatCpu, pty.writerCpuSeconds(),
            qPrintable(describe(d.segments)));
        if (received)
            continue;
        if (!server.waitUntilIdle()) {
            report("ser2net keeps the device open\n");
            return 1;
        }
        received = receiveInTavel(session, pty, shape, count, portOf(accepter, server));
        const Received &r = *received;
        if (r.failed)
            return 1;
        report("Tavel: %lld bytes in %.2f s, %.1f MB/s; connected after %.1f ms, disconnected "
               "in %.1f ms\n",
            r.bytes, r.seconds, r.rate(), r.connectMs, r.disconnectMs);
        report("  %s\n", qPrintable(describe(r.segments)));
        report("  %lld reads, %.0f bytes per read, the largest %lld bytes; handling one read "
               "took at most %.1f ms (%.1f ms of CPU), and at most %.1f ms of CPU (in %.1f ms)\n",
            r.reads, double(r.bytes) / double(std::max<qint64>(r.reads, 1)), r.largestRead,
            r.longestRead.ms, r.longestRead.cpuMs, r.costliestRead.cpuMs, r.costliestRead.ms);
        report("  CPU: window's thread %.2f s (%.0f%%), ser2net %.2f s (%.0f%%), writer %.2f s\n",
            r.windowCpu, 100 * r.windowCpu / r.seconds, r.ser2netCpu,
            100 * r.ser2netCpu / r.seconds, pty.writerCpuSeconds());
        report("  16 ms timer: lateness p99 %.2f ms; longest between two ticks %.1f ms, in which "
               "the window's thread ran %.1f ms (%lld ticks, from the click on \"Verbindung "
               "herstellen\" to the last byte)\n",
            r.lateP99, r.longestGap.ms, r.longestGap.cpuMs, qint64(r.ticks));
        report("  resident growth: %.1f MB with all arrived, %.1f MB at the peak; %.3f / %.3f "
               "bytes per received byte\n",
            double(r.residentGrowth) / 1e6, double(r.peakGrowth) / 1e6,
            double(r.residentGrowth) / double(count), double(r.peakGrowth) / double(count));
        report("  log holds exactly the bytes sent: %s; SHA-1 sent %s, held %s\n",
            r.exact ? "yes" : "NO", sentHash.constData(), r.hash.constData());
    }

    const Received &r = *received;
    const double reference = (drains[0].rate() + drains[1].rate()) / 2;
    const double ratio = r.rate() / reference;
    const double held = double(r.peakGrowth) / double(count);
    const double longestGap = r.longestGap.ms;
    report("targets:\n");
    report("  rate >= 0.5 of socat's: %.1f / %.1f MB/s = %.2f: %s\n", r.rate(), reference, ratio,
        verdict(ratio >= 0.5));
    report("  about 1 byte held per byte (at most 1.1): %.3f at the peak: %s\n", held,
        verdict(held <= 1.1));
    report("  never frozen over %.0f ms: longest between two ticks %.1f ms: %s\n", kFrozenMs,
        longestGap, verdict(longestGap <= kFrozenMs));
    report("  every byte arrived unchanged: %s\n", verdict(r.exact && r.hash == sentHash));
    // One row of the summary table that the parent process prints.
    report("row\t| %s | %.1f / %.1f | %.1f | %.2f | %.3f | %.1f (ran %.1f) / %.1f | %.0f | %.0f / "
           "%.0f | %s |\n",
        nameOf(accepter), drains[0].rate(), drains[1].rate(), r.rate(), ratio, held, longestGap,
        r.longestGap.cpuMs, r.lateP99, double(r.bytes) / double(std::max<qint64>(r.reads, 1)),
        drains[0].segments.perSegment(), r.segments.perSegment(),
        r.exact && r.hash == sentHash ? "yes" : "NO");
    return 0;
}

// Runs one accepter in a child process and passes its report on; the row it
// ends with goes to the summary.
bool runChild(const QStringList &arguments, QStringList &rows)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForStarted())
        return false;
    const auto pass = [&] {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine();
            if (line.startsWith("row\t"))
                rows << QString::fromUtf8(line.mid(4)).trimmed();
            else
                report("%s", line.constData());
        }
    };
    while (child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(-1);
        pass();
    }
    pass();
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("megabytes"), QStringLiteral("Bytes per run, in MiB."),
        QStringLiteral("n"), QStringLiteral("64") });
    parser.addOption({ QStringLiteral("accepter"), QStringLiteral("raw, rfc2217 or both."),
        QStringLiteral("accepter"), QStringLiteral("both") });
    parser.process(app);
    const qint64 count = parser.value(QStringLiteral("megabytes")).toLongLong() << 20;
    const QString accepter = parser.value(QStringLiteral("accepter"));
    if (!Ser2NetServer::isInstalled()
        || QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty()) {
        report("ser2net and socat are needed: apt-get install ser2net socat\n");
        return 1;
    }
    if (accepter == QLatin1String("both")) {
        // One process per accepter, so that the second does not reuse the heap
        // the first gave back and hide its memory growth.
        report("bench_network: Qt %s, platform %s\n", qVersion(),
            qPrintable(QApplication::platformName()));
        QStringList rows;
        for (const char *one : { "raw", "rfc2217" }) {
            const QStringList arguments { QStringLiteral("--accepter"), QString::fromLatin1(one),
                QStringLiteral("--megabytes"), parser.value(QStringLiteral("megabytes")) };
            if (!runChild(arguments, rows))
                return 1;
        }
        report("\n| accepter | socat before / after, MB/s | Tavel, MB/s | Tavel / socat | resident "
               "growth per byte, peak | longest tick gap (thread ran) / p99 lateness, ms | bytes "
               "per read | "
               "bytes per TCP segment, socat / Tavel | every byte unchanged |\n"
               "|---|---|---|---|---|---|---|---|---|\n");
        for (const QString &row : rows)
            report("%s\n", qPrintable(row));
        return 0;
    }
    report("resident at start %.1f MB\n", double(residentBytes()) / 1e6);
    return streamAccepter(
        accepter == QLatin1String("raw") ? Accepter::Raw : Accepter::Telnet, count);
}
