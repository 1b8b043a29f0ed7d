#include "pacedruns.h"
#include "processsample.h"
#include "ptystream.h"
#include "tavelunderx.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// perf sampling one process by its CPU clock: the machine has no hardware
// counters to offer, and cpu-clock counts the same with or without them.
std::unique_ptr<QProcess> startPerf(const QString &output, qint64 pid)
{
    auto perf = std::make_unique<QProcess>();
    perf->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    perf->setStandardOutputFile(QProcess::nullDevice());
    perf->start(QStringLiteral("perf"),
        { QStringLiteral("record"), QStringLiteral("-e"), QStringLiteral("cpu-clock"),
            QStringLiteral("-F"), QStringLiteral("1999"), QStringLiteral("--call-graph"),
            QStringLiteral("dwarf,32768"), QStringLiteral("-o"), output, QStringLiteral("-p"),
            QString::number(pid) });
    if (!perf->waitForStarted(5000)) {
        std::fprintf(stderr, "perf did not start: %s\n", qPrintable(perf->errorString()));
        return nullptr;
    }
    return perf;
}

void stopPerf(std::unique_ptr<QProcess> &perf)
{
    if (!perf)
        return;
    ::kill(pid_t(perf->processId()), SIGINT);
    if (!perf->waitForFinished(60000))
        perf->kill();
}

} // namespace

qint64 warmUpBytes(const PacedCase &run, const PacedTiming &timing)
{
    switch (run.state) {
    case PacedCase::State::Idle:
        return 0;
    case PacedCase::State::IdleShown:
        return qint64(11520 * timing.warmUpSeconds);
    default:
        return qint64(double(run.bytesPerSecond) * timing.warmUpSeconds);
    }
}

PacedResult runBlackBox(const PacedCase &run, const PacedTiming &timing, const QString &executable,
    const QString &display, qint64 serverPid, const QString &perfPrefix)
{
    PacedResult result;
    result.mode = QStringLiteral("black box");
    const StreamShape shape(run.shape);
    PtyStream com1;
    PtyStream com2;
    TavelUnderX tavel(executable, display);
    if (!com1.isOpen() || !com2.isOpen()
        || !tavel.startConnected(com1.slavePath(), com2.slavePath())) {
        result.note = QStringLiteral("FAILED: %1")
                          .arg(com1.isOpen() ? tavel.errorString() : com1.errorString());
        return result;
    }
    const qint64 warmUp = warmUpBytes(run, timing);
    if (warmUp > 0) {
        com1.setPace(double(warmUp) / timing.warmUpSeconds);
        com1.start(shape, 0, warmUp);
        com1.finish();
    }
    QThread::msleep(timing.settleMs);
    if (run.state == PacedCase::State::Hidden) {
        tavel.hideReceivedWindow();
    } else if (run.state == PacedCase::State::Minimised) {
        const QString problem = tavel.minimise();
        if (!problem.isEmpty())
            result.note = QStringLiteral("minimising failed: %1").arg(problem);
    }
    QThread::msleep(timing.settleMs);

    std::unique_ptr<QProcess> perfProgram;
    std::unique_ptr<QProcess> perfServer;
    if (!perfPrefix.isEmpty()) {
        perfProgram = startPerf(perfPrefix + QStringLiteral("-tavel.data"), tavel.pid());
        perfServer = startPerf(perfPrefix + QStringLiteral("-xvfb.data"), serverPid);
        QThread::msleep(500);
    }
    result.loadBefore = loadAverage();
    const ProcessSample programBefore = ProcessSample::of(tavel.pid());
    const ProcessSample serverBefore = ProcessSample::of(serverPid);
    QElapsedTimer clock;
    clock.start();
    if (run.bytesPerSecond > 0) {
        com1.setPace(double(run.bytesPerSecond));
        com1.start(shape, warmUp, qint64(double(run.bytesPerSecond) * timing.seconds));
        com1.finish();
        result.maxBacklog = com1.maxBacklog();
        QThread::msleep(timing.tailMs);
    } else {
        QThread::msleep(qint64(timing.seconds * 1000));
    }
    const ProcessSample programAfter = ProcessSample::of(tavel.pid());
    const ProcessSample serverAfter = ProcessSample::of(serverPid);
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    result.loadAfter = loadAverage();
    stopPerf(perfProgram);
    stopPerf(perfServer);
    // Another program's "pkill tavel" on a shared machine ends this one too.
    if (perfProgram)
        result.note = QStringLiteral("(profiled: perf's unwinding doubles the program's CPU)");
    if (!programAfter.valid || !serverAfter.valid || !tavel.isRunning() || com1.failed())
        result.note = QStringLiteral("FAILED: the program or the X server has gone, or "
                                     "stopped reading");
    result.programCpu = programAfter.cpuSeconds - programBefore.cpuSeconds;
    result.serverCpu = serverAfter.cpuSeconds - serverBefore.cpuSeconds;
    const ProcessSample::Switches switches = programAfter.switchesSince(programBefore);
    result.wakeups = switches.voluntary;
    result.preemptions = switches.involuntary;
    for (const ProcessSample::Switches &thread : programAfter.threadSwitchesSince(programBefore)) {
        std::printf("  thread %s: %.1f wake-ups/s, %.1f preempted/s\n", thread.name.constData(),
            double(thread.voluntary) / result.seconds, double(thread.involuntary) / result.seconds);
    }
    return result;
}
