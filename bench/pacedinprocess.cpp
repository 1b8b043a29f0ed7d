#include "app/mditavel.h"
#include "framewatch.h"
#include "iconify.h"
#include "pacedruns.h"
#include "processsample.h"
#include "ptystream.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "tavelprogram.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "windows/trafficview/trafficview.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const auto index = qsizetype(std::ceil(p / 100 * double(values.size()))) - 1;
    return values[std::clamp<qsizetype>(index, 0, values.size() - 1)];
}

FrameWatch *frameWatch()
{
    return static_cast<FrameWatch *>(QCoreApplication::instance());
}

qint64 receivedSize(MDITavel &window)
{
    const FrmEmpfang *form = window.empfang().loaded();
    return form ? form->log().size() : 0;
}

// Sends count bytes at the pace and runs the event loop until the window's
// log holds target bytes, or gives up a while after the pace would have ended.
bool stream(PtyStream &pty, const StreamShape &shape, qint64 from, qint64 count,
    double bytesPerSecond, MDITavel &window)
{
    QEventLoop loop;
    const QMetaObject::Connection arrived
        = QObject::connect(&window.MSComm1(), &MSComm::OnComm, &loop, [&] {
              if (receivedSize(window) >= from + count)
                  loop.quit();
          });
    bool stalled = false;
    QTimer::singleShot(int(1000 * double(count) / bytesPerSecond) + 10000, &loop, [&] {
        stalled = true;
        loop.quit();
    });
    pty.setPace(bytesPerSecond);
    pty.start(shape, from, count);
    loop.exec();
    pty.finish();
    QObject::disconnect(arrived);
    return !stalled;
}

void watchViews(FrmEmpfang &form)
{
    frameWatch()->watchShowing(form.Text1->viewport(), [&form] { return form.log().size(); });
    for (TrafficView *view : { form.Text1, form.Text2 }) {
        frameWatch()->watch(view->viewport());
        frameWatch()->watch(view->verticalScrollBar());
    }
}

} // namespace

PacedResult runInProcess(const PacedCase &run, const PacedTiming &timing, qint64 serverPid)
{
    PacedResult result;
    result.mode = QStringLiteral("in process");
    const StreamShape shape(run.shape);
    PtyStream com1;
    TavelProgram program(com1.slavePath());
    MDITavel &window = program.window();
    if (program.started())
        window.einstellungen().loaded()->Command3->click();
    if (!program.started() || !window.MSComm1().PortOpen()) {
        result.note
            = QStringLiteral("FAILED: %1").arg(program.dialogs().messageTexts().join(u"; "));
        return result;
    }
    FrameWatch *watch = frameWatch();
    QObject::connect(&window.MSComm1(), &MSComm::OnComm, &window,
        [&window, watch] { watch->read(receivedSize(window)); });
    const qint64 warmUp = warmUpBytes(run, timing);
    if (warmUp > 0
        && !stream(com1, shape, 0, warmUp, double(warmUp) / timing.warmUpSeconds, window)) {
        result.note = QStringLiteral("FAILED: the warm-up stalled");
        return result;
    }
    wait(timing.settleMs);
    FrmEmpfang *form = window.empfang().loaded();
    if (form)
        watchViews(*form);
    if (run.state == PacedCase::State::Hidden) {
        form->Command1->click();
    } else if (run.state == PacedCase::State::Minimised) {
        const QString problem
            = iconifyWindow(qEnvironmentVariable("DISPLAY"), quint32(window.winId()));
        if (!problem.isEmpty())
            result.note = QStringLiteral("minimising failed: %1").arg(problem);
    }
    wait(timing.settleMs);
    if (form) {
        std::printf(
            "  received window %d x %d px; text view %d columns x %d rows, hex view %d x %d\n",
            form->frame()->width(), form->frame()->height(), form->Text1->columns(),
            form->Text1->visibleRowCount(), form->Text2->columns(), form->Text2->visibleRowCount());
    }
    std::printf("  window: main %s, exposed %s; received window %s\n",
        window.isMinimized() ? "minimised" : "normal",
        window.windowHandle()->isExposed() ? "yes" : "no",
        !form                            ? "not loaded"
            : form->frame()->isVisible() ? "visible"
                                         : "hidden");

    watch->reset();
    result.loadBefore = loadAverage();
    const ProcessSample programBefore = ProcessSample::of(0);
    const ProcessSample serverBefore = ProcessSample::of(serverPid);
    QElapsedTimer clock;
    clock.start();
    double writerCpu = 0;
    if (run.bytesPerSecond > 0) {
        const qint64 count = qint64(double(run.bytesPerSecond) * timing.seconds);
        if (!stream(com1, shape, warmUp, count, double(run.bytesPerSecond), window))
            result.note = QStringLiteral("STALLED at %1 of %2 bytes")
                              .arg(receivedSize(window) - warmUp)
                              .arg(count);
        if (com1.failed())
            result.note = QStringLiteral("FAILED: the program stopped reading");
        writerCpu = com1.writerCpuSeconds();
        result.maxBacklog = com1.maxBacklog();
        wait(timing.tailMs);
    } else {
        wait(int(timing.seconds * 1000));
    }
    const ProcessSample programAfter = ProcessSample::of(0);
    const ProcessSample serverAfter = ProcessSample::of(serverPid);
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    result.loadAfter = loadAverage();
    // The pty's writer is a thread of this process; it is the device, not the program.
    result.programCpu = programAfter.cpuSeconds - programBefore.cpuSeconds - writerCpu;
    result.serverCpu = serverAfter.cpuSeconds - serverBefore.cpuSeconds;
    const ProcessSample::Switches switches = programAfter.switchesSince(programBefore);
    result.wakeups = switches.voluntary;
    result.preemptions = switches.involuntary;
    result.reads = watch->reads();
    result.frames = watch->frames();
    if (form) {
        result.textPaints = watch->paints(form->Text1->viewport());
        result.hexPaints = watch->paints(form->Text2->viewport());
    }
    result.latencyP50 = percentile(watch->latencies(), 50);
    result.latencyP99 = percentile(watch->latencies(), 99);
    std::printf("  %lld reads shown by a frame, %lld not; writer thread %.3f s CPU; scroll bar "
                "paints %lld + %lld\n",
        qint64(watch->latencies().size()), qint64(watch->readsNotShown()), writerCpu,
        form ? watch->paints(form->Text1->verticalScrollBar()) : 0,
        form ? watch->paints(form->Text2->verticalScrollBar()) : 0);
    return result;
}
