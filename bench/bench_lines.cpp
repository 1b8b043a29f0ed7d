// The wires beside the data, timed through the real port object on a pty
// that the preloaded double gives modem lines (it re-runs itself with the
// double preloaded when started without it).
//
//   bench_lines [rounds]          (default 1000)
//
// Prints:
// - how long a change of a far-end line takes to reach the port object's
//   thread (the lamps): from the moment the far end changes it to PortLines'
//   signal, at the 50th and 99th percentile and the worst;
// - the wake-ups of every thread of the process in ten idle seconds with the
//   port open and its lines watched, and in ten more with the port closed;
// - how long DTR and RTS stay on at open when the user chose them off: from
//   the open() that raises them (as Linux does) to the call that drops them;
// - how long a BREAK of 250 ms lasts, with the window's thread free and with
//   it blocked for 400 ms in the middle.

#include "linedouble.h"
#include "processsample.h"
#include "ptydevice.h"
#include "serial/linebits.h"
#include "serial/mscomm.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <time.h>

namespace {

qint64 nowNs()
{
    timespec now = {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype at = std::min<qsizetype>(values.size() - 1, qsizetype(p / 100 * values.size()));
    return values.at(at);
}

bool openCom1(MSComm &comm, const PtyDevice &device, const LineChoices &choices = {})
{
    qputenv("TAVEL_COM1", device.slavePath().toLocal8Bit());
    comm.lines().setChoices(1, choices);
    return !comm.setCommPort(1) && !comm.setPortOpen(true);
}

void lampLatency(LineDouble &lines, int rounds)
{
    PtyDevice device;
    MSComm comm;
    if (!openCom1(comm, device))
        return;
    QList<double> ms;
    int far = 0;
    for (int i = 0; i < rounds; ++i) {
        // The watch is back in its wait before the next change.
        while (lines.waiters() == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        far ^= LineBits::kCts;
        const qint64 start = nowNs();
        lines.setFarLines(far);
        while ((comm.lines().bits() & LineBits::kCts) != far)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ms << double(nowNs() - start) / 1e6;
    }
    std::printf("lamp follows the far end, %d changes: p50 %.3f ms, p99 %.3f ms, worst %.3f ms\n",
        rounds, percentile(ms, 50), percentile(ms, 99), percentile(ms, 100));
}

void idleWakeUps(LineDouble &)
{
    PtyDevice device;
    MSComm comm;
    if (!openCom1(comm, device))
        return;
    const auto idle = [](const char *what) {
        const ProcessSample before = ProcessSample::of(0);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10000 - clock.elapsed());
        const ProcessSample after = ProcessSample::of(0);
        const ProcessSample::Switches all = after.switchesSince(before);
        std::printf("idle 10 s, %s: %lld voluntary, %lld involuntary switches\n", what,
            all.voluntary, all.involuntary);
        for (const ProcessSample::Switches &thread : after.threadSwitchesSince(before))
            std::printf(
                "    thread %s: %lld voluntary\n", thread.name.constData(), thread.voluntary);
    };
    idle("port open, lines watched");
    (void)comm.setPortOpen(false);
    idle("port closed");
}

void pulseAtOpen(LineDouble &lines, int rounds)
{
    PtyDevice device;
    LineChoices off;
    off.dtrAtOpen = LineChoices::Level::Off;
    off.rtsAtOpen = LineChoices::Level::Off;
    QList<double> us;
    for (int i = 0; i < rounds; ++i) {
        MSComm comm;
        if (!openCom1(comm, device, off))
            return;
        const qint64 opened = lines.openNs();
        for (const LineDouble::LineState &change : lines.history()) {
            if (change.ns > opened && !(change.lines & LineBits::kDtr)) {
                us << double(change.ns - opened) / 1e3;
                break;
            }
        }
        (void)comm.setPortOpen(false);
    }
    std::printf("DTR and RTS chosen off, on at open for, %lld opens: p50 %.0f us, p99 %.0f us, "
                "worst %.0f us\n",
        qint64(us.size()), percentile(us, 50), percentile(us, 99), percentile(us, 100));
}

void breakLength(LineDouble &lines)
{
    PtyDevice device;
    MSComm comm;
    if (!openCom1(comm, device))
        return;
    for (bool blocked : { false, true }) {
        QList<double> ms;
        for (int i = 0; i < 10; ++i) {
            comm.lines().sendBreak(250);
            if (blocked) {
                QThread::msleep(100);
                QCoreApplication::processEvents();
                QThread::msleep(400);
            }
            while (comm.lines().isBreaking())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            ms << lines.lastBreakMs();
        }
        std::printf("BREAK of 250 ms, window's thread %s: shortest %.2f ms, longest %.2f ms\n",
            blocked ? "blocked 400 ms" : "free", percentile(ms, 0), percentile(ms, 100));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    LineDouble lines;
    if (!qEnvironmentVariable("LD_PRELOAD").contains(LineDouble::libraryPath())) {
        QProcess again;
        again.setProcessEnvironment(lines.environment());
        again.setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        again.start(QString::fromLocal8Bit(argv[0]), arguments);
        again.waitForFinished(-1);
        return again.exitCode();
    }
    QCoreApplication app(argc, argv);
    lines.useInThisProcess();
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 1000;
    lampLatency(lines, rounds);
    pulseAtOpen(lines, std::min(rounds, 200));
    breakLength(lines);
    idleWakeUps(lines);
    return 0;
}
