// Saves a large received-data window while more data keep streaming in from a
// pseudo-terminal, in each of the three forms, and measures a running capture
// against the same stream without one. See README.md.

#include "app/capturecommand.h"
#include "app/mditavel.h"
#include "app/savecommands.h"
#include "files/capturefile.h"
#include "latencyprobe.h"
#include "ptydevice.h"
#include "ptystream.h"
#include "recordingdialogs.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "streamshape.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "windows/saveprogresswindow.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// The stream goes on in pieces of this size for as long as a save runs.
constexpr qint64 kPiece = 8 << 20;

void report(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

double milliseconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// The main window as the program starts it, COM1 on the streaming pty, its
// boxes and file dialogs answered by the bench.
struct Program
{
    QTemporaryDir folder;
    PtyDevice com2;
    RecordingDialogs dialogs;
    std::unique_ptr<MDITavel> window;

    explicit Program(const PtyStream &com1)
    {
        qputenv("TAVEL_COM1", com1.slavePath().toLocal8Bit());
        qputenv("TAVEL_COM2", com2.slavePath().toLocal8Bit());
        window = std::make_unique<MDITavel>(folder.filePath(QStringLiteral("tavel.cfg")));
        started = window->MDIForm_Load() == MDITavel::StartOutcome::Running;
    }
    ~Program()
    {
        window->close();
        window.reset();
    }

    QAction *command(const char *name) { return window->findChild<QAction *>(name); }

    bool started = false;
};

// Streams count bytes of the shape on from what the log holds, and runs the
// event loop until they have all arrived; false when nothing came for 30 s.
bool stream(PtyStream &pty, const StreamShape &shape, const TrafficLog &log, qint64 count)
{
    const qint64 target = log.size() + count;
    pty.start(shape, log.size(), count);
    qint64 seen = -1;
    QDeadlineTimer stall(30000);
    while (log.size() < target) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        if (log.size() != seen) {
            seen = log.size();
            stall.setRemainingTime(30000);
        } else if (stall.hasExpired()) {
            report("the stream stalled at %lld of %lld bytes\n", log.size(), target);
            return false;
        }
    }
    pty.finish();
    return true;
}

// Whether the file holds exactly the log's bytes [from, from + size).
bool fileHolds(const QString &path, const TrafficLog &log, qint64 from, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != size)
        return false;
    for (qint64 done = 0; done < size;) {
        const QByteArrayView piece = log.contiguousAt(from + done);
        const qint64 n = std::min<qint64>(piece.size(), size - done);
        const QByteArray read = file.read(n);
        if (read.size() != n || std::memcmp(read.constData(), piece.data(), size_t(n)) != 0)
            return false;
        done += n;
    }
    return true;
}

int saveWhileStreaming(Program &program, PtyStream &pty, const StreamShape &shape,
    const QString &folder, qsizetype filter, const char *form)
{
    const TrafficLog &log = program.window->empfang().get().log();
    const QString path = folder + QStringLiteral("/saved-%1").arg(filter);
    LatencyProbe probe;
    probe.start();
    QElapsedTimer clock;
    clock.start();
    program.dialogs.saveAnswers = { { path, filter } };
    program.command("MnEmpfangSpeichern")->trigger();
    const double commandMs = milliseconds(clock);
    TrafficSave *save = program.window->saveCommands().running();
    if (!save) {
        report(
            "the save did not start: %s\n", qPrintable(program.dialogs.messageTexts().join(u"; ")));
        return 1;
    }
    const qint64 snapshot = save->total();
    const qint64 receivedBefore = log.size();
    double savedMs = -1;
    qint64 receivedDuring = 0;
    QObject::connect(save, &TrafficSave::finished, [&] {
        savedMs = milliseconds(clock);
        receivedDuring = log.size() - receivedBefore;
    });
    TrafficSave::Outcome last = TrafficSave::Outcome::Running;
    QObject::connect(save, &TrafficSave::finished, [&, save] { last = save->outcome(); });
    bool progressShown = false;
    while (savedMs < 0) {
        if (!stream(pty, shape, log, kPiece))
            return 1;
        for (QWidget *w : QApplication::topLevelWidgets())
            progressShown
                = progressShown || (qobject_cast<SaveProgressWindow *>(w) && w->isVisible());
    }
    probe.stop();
    const qint64 written = QFileInfo(path).size();
    const bool exact = filter == 0
        ? fileHolds(path, log, 0, snapshot)
        : (filter == 1 ? written == 3 * snapshot : written > 3 * snapshot);
    report("%s: %.1f MiB held, file %.1f MiB, saved in %.2f s (%.0f MiB/s of the log), outcome %s, "
           "%s\n",
        form, snapshot / 1048576.0, written / 1048576.0, savedMs / 1e3,
        snapshot / 1048576.0 / (savedMs / 1e3),
        last == TrafficSave::Outcome::Saved ? "saved" : "NOT SAVED",
        exact ? (filter == 0 ? "file equals the log" : "size as expected") : "FILE WRONG");
    report("  the menu command took %.2f ms; progress window %s; meanwhile %.1f MiB arrived "
           "(%.1f MiB/s) and showed\n",
        commandMs, progressShown ? "shown" : "not shown", receivedDuring / 1048576.0,
        receivedDuring / 1048576.0 / (savedMs / 1e3));
    report("  16 ms timer: %lld ticks, late by p99 %.2f ms, worst %.2f ms (largest gap %.2f ms)\n",
        qint64(probe.ticks()), probe.percentile(99), probe.percentile(100),
        probe.percentile(100) + LatencyProbe::kIntervalMs);
    QFile::remove(path);
    return exact && last == TrafficSave::Outcome::Saved ? 0 : 1;
}

int captureCost(
    Program &program, PtyStream &pty, const StreamShape &shape, const QString &folder, qint64 count)
{
    const TrafficLog &log = program.window->empfang().get().log();
    const QString path = folder + QStringLiteral("/capture.bin");
    int reads = 0;
    QObject::connect(&program.window->MSComm1(), &MSComm::OnComm, [&] { ++reads; });
    for (bool capturing : { false, true, false, true }) {
        if (capturing) {
            program.dialogs.saveAnswers = { { path, 0 } };
            program.command("MnMitschnitt")->trigger();
        }
        const qint64 from = log.size();
        reads = 0;
        LatencyProbe probe;
        probe.start();
        QElapsedTimer clock;
        clock.start();
        if (!stream(pty, shape, log, count))
            return 1;
        const double seconds = milliseconds(clock) / 1e3;
        probe.stop();
        report("%s: %.1f MiB/s, %d reads of %.0f bytes, 16 ms timer late by p99 %.2f ms, "
               "worst %.2f ms\n",
            capturing ? "capture on " : "capture off", count / 1048576.0 / seconds, reads,
            double(count) / std::max(reads, 1), probe.percentile(99), probe.percentile(100));
        if (capturing) {
            program.command("MnMitschnitt")->trigger();
            report("  the file holds exactly the bytes streamed: %s\n",
                fileHolds(path, log, from, count) ? "yes" : "NO");
            QFile::remove(path);
        }
    }
    // The append alone, outside the event loop, one every 1 ms as a fast line
    // brings them: its time in the reading thread, and how much had been
    // written but not yet synced when each append came (what a power cut
    // would take).
    for (qint64 size : { 64, 4096, 65536 }) {
        CaptureFile file(path);
        file.open();
        const QByteArray bytes(size, 'c');
        double total = 0;
        double worst = 0;
        qint64 exposed = 0;
        constexpr int kAppends = 1000;
        for (int i = 0; i < kAppends; ++i) {
            exposed = std::max(exposed, file.written() - file.synced());
            QElapsedTimer one;
            one.start();
            file.append(bytes);
            total += milliseconds(one);
            worst = std::max(worst, milliseconds(one));
            QThread::usleep(1000);
        }
        QElapsedTimer drain;
        drain.start();
        file.close();
        report(
            "append of %lld bytes every 1 ms: mean %.3f ms, worst %.2f ms in the reading thread; "
            "written but not yet synced at most %lld bytes (%.1f appends); last sync done "
            "%.2f ms after the last append\n",
            size, total / kAppends, worst, exposed, double(exposed) / double(size),
            milliseconds(drain));
    }
    QFile::remove(path);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("megabytes"),
        QStringLiteral("Bytes held in the window when the saves start, in MiB."),
        QStringLiteral("n"), QStringLiteral("256") });
    parser.addOption({ QStringLiteral("shape"), QStringLiteral("text or endless."),
        QStringLiteral("shape"), QStringLiteral("text") });
    parser.addOption({ QStringLiteral("folder"),
        QStringLiteral("Where the files go; by default a temporary folder."),
        QStringLiteral("path") });
    parser.addOption({ QStringLiteral("capture"), QStringLiteral("MiB streamed per capture run."),
        QStringLiteral("n"), QStringLiteral("64") });
    parser.process(app);
    const qint64 total = parser.value(QStringLiteral("megabytes")).toLongLong() << 20;
    const StreamShape shape(parser.value(QStringLiteral("shape")) == QLatin1String("endless")
            ? StreamShape::Kind::EndlessPrintable
            : StreamShape::Kind::TextLines);
    QTemporaryDir temporary;
    const QString folder = parser.isSet(QStringLiteral("folder"))
        ? parser.value(QStringLiteral("folder"))
        : temporary.path();

    PtyStream pty;
    if (!pty.isOpen()) {
        report("no pseudo-terminal: %s\n", qPrintable(pty.errorString()));
        return 1;
    }
    Program program(pty);
    if (!program.started)
        return 1;
    program.window->einstellungen().loaded()->Command3->click();
    FrmEmpfang &form = program.window->empfang().show();
    report("bench_savestream: Qt %s, %s, files in %s\n", qVersion(), qPrintable(shape.name()),
        qPrintable(folder));

    QElapsedTimer fill;
    fill.start();
    if (!stream(pty, shape, form.log(), total))
        return 1;
    report(
        "filled the window with %.0f MiB in %.2f s\n", total / 1048576.0, milliseconds(fill) / 1e3);

    int failed = 0;
    failed += saveWhileStreaming(program, pty, shape, folder, 0, "Rohdaten");
    failed += saveWhileStreaming(program, pty, shape, folder, 1, "Hexdarstellung");
    failed += saveWhileStreaming(program, pty, shape, folder, 2, "Hexdarstellung mit Zeitstempeln");
    failed += captureCost(
        program, pty, shape, folder, parser.value(QStringLiteral("capture")).toLongLong() << 20);
    return failed == 0 ? 0 : 1;
}
