// Streams traffic from a pseudo-terminal through the serial-port object, the
// main window's OnComm and the received-data window painting offscreen, and
// compares every figure with the rate at which a bare QSerialPort drains the
// same pty. See README.md.

#include "app/mditavel.h"
#include "latencyprobe.h"
#include "ptystream.h"
#include "residentmemory.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "streamshape.h"
#include "tavelprogram.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "windows/trafficview/trafficview.h"

#include <QApplication>
#include <QClipboard>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

// Within a block longer than this, the rate is taken per segment of this size.
constexpr qint64 kSegment = 16 << 20;
// A run that makes no progress for this long has stalled.
constexpr int kStallMs = 30000;

void report(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

double milliseconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

double threadCpuSeconds()
{
    struct timespec now = {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = qsizetype(std::ceil(p / 100 * double(values.size()))) - 1;
    return values[std::clamp<qsizetype>(index, 0, values.size() - 1)];
}

double mean(const QList<double> &values)
{
    double sum = 0;
    for (double v : values)
        sum += v;
    return values.isEmpty() ? 0 : sum / double(values.size());
}

// Times every paint event of the widgets it watches, whoever asks for the
// paint: the views' own frame timer while streaming, or a forced repaint.
class BenchApplication : public QApplication
{
public:
    using QApplication::QApplication;

    void watch(QObject *widget) { m_paints.insert(widget, {}); }
    QList<double> takePaints(QObject *widget) { return std::exchange(m_paints[widget], {}); }

    // Time spent handling socket-notifier activations: the pty's readable
    // notification, with everything readyRead sets off.
    double takeReadHandling() { return std::exchange(m_readHandlingMs, 0); }

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (event->type() == QEvent::SockAct) {
            QElapsedTimer clock;
            clock.start();
            const bool handled = QApplication::notify(receiver, event);
            m_readHandlingMs += milliseconds(clock);
            return handled;
        }
        if (event->type() != QEvent::Paint || !m_paints.contains(receiver))
            return QApplication::notify(receiver, event);
        QElapsedTimer clock;
        clock.start();
        const bool handled = QApplication::notify(receiver, event);
        m_paints[receiver].append(milliseconds(clock));
        return handled;
    }

private:
    QHash<QObject *, QList<double>> m_paints;
    double m_readHandlingMs = 0;
};

BenchApplication *benchApp()
{
    return static_cast<BenchApplication *>(QCoreApplication::instance());
}

// What streaming one block of the shape measured.
struct Block
{
    qint64 bytes = 0;
    double seconds = 0;
    double readerCpu = 0; // seconds of the window's thread
    double writerCpu = 0;
    qint64 reads = 0; // notifications that brought bytes
    double readHandling = 0; // seconds spent handling the pty's notifications
    bool stalled = false;
    QList<double> segmentRates; // MB/s per 16 MiB of the block, in order
    double rate() const { return seconds > 0 ? double(bytes) / 1e6 / seconds : 0; }
};

// Blocks added up.
Block sum(const QList<Block> &blocks)
{
    Block total;
    for (const Block &b : blocks) {
        total.bytes += b.bytes;
        total.seconds += b.seconds;
        total.readerCpu += b.readerCpu;
        total.writerCpu += b.writerCpu;
        total.reads += b.reads;
        total.readHandling += b.readHandling;
        total.stalled = total.stalled || b.stalled;
        total.segmentRates += b.segmentRates;
    }
    return total;
}

// How late a 16 ms timer in the window's thread comes, collected over the
// stretches in which it runs (the streaming blocks, not the reference drains
// between them).
class Lateness : public QObject
{
public:
    Lateness()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(LatencyProbe::kIntervalMs);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_lateness.append(
                std::max(0.0, double(now - m_last) / 1e6 - LatencyProbe::kIntervalMs));
            m_last = now;
        });
        m_clock.start();
    }

    void resume()
    {
        m_last = m_clock.nsecsElapsed();
        m_timer.start();
    }
    void pause() { m_timer.stop(); }
    const QList<double> &values() const { return m_lateness; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    QList<double> m_lateness;
};

// Runs the event loop while the pty writer sends one block, until the
// receiving side, through progress(), reports all of it arrived.
class Streaming
{
public:
    Streaming(PtyStream &pty, const StreamShape &shape, qint64 from, qint64 count)
        : m_pty(pty)
        , m_shape(shape)
        , m_from(from)
        , m_count(count)
    {
    }

    // arrived: bytes of this block received so far.
    void progress(qint64 arrived)
    {
        if (arrived > m_arrived)
            ++m_block.reads;
        m_arrived = arrived;
        while (m_arrived >= m_nextSegment && m_nextSegment <= m_count) {
            const qint64 now = m_clock.nsecsElapsed();
            m_block.segmentRates.append(
                double(kSegment) / 1e6 / (double(now - m_segmentStart) / 1e9));
            m_segmentStart = now;
            m_nextSegment += kSegment;
        }
        if (m_arrived >= m_count && !m_done) {
            m_done = true;
            m_block.seconds = double(m_clock.nsecsElapsed()) / 1e9;
            m_loop.quit();
        }
    }

    Block run()
    {
        QTimer watchdog;
        qint64 lastSeen = -1;
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        QObject::connect(&watchdog, &QTimer::timeout, &m_loop, [&] {
            if (m_arrived != lastSeen) {
                lastSeen = m_arrived;
                sinceProgress.restart();
            } else if (sinceProgress.elapsed() > kStallMs) {
                m_block.stalled = true;
                m_loop.quit();
            }
        });
        watchdog.start(500);
        const double cpuBefore = threadCpuSeconds();
        benchApp()->takeReadHandling();
        m_clock.start();
        m_pty.start(m_shape, m_from, m_count);
        m_loop.exec();
        m_block.readerCpu = threadCpuSeconds() - cpuBefore;
        m_block.readHandling = benchApp()->takeReadHandling() / 1e3;
        if (m_block.stalled) {
            m_block.seconds = double(m_clock.nsecsElapsed()) / 1e9;
            report("stalled after %lld of %lld bytes\n", m_arrived, m_count);
        }
        m_pty.finish();
        m_block.writerCpu = m_pty.writerCpuSeconds();
        m_block.bytes = m_arrived;
        return m_block;
    }

private:
    PtyStream &m_pty;
    const StreamShape &m_shape;
    qint64 m_from = 0;
    qint64 m_count = 0;
    qint64 m_arrived = 0;
    qint64 m_nextSegment = kSegment;
    qint64 m_segmentStart = 0;
    bool m_done = false;
    QElapsedTimer m_clock;
    QEventLoop m_loop;
    Block m_block;
};

// The reference: a bare QSerialPort that reads everything and throws it away.
Block drainRaw(PtyStream &pty, const StreamShape &shape, qint64 from, qint64 count)
{
    QSerialPort port(pty.slavePath());
    if (!port.open(QIODevice::ReadOnly)) {
        report("bare QSerialPort cannot open %s: %s\n", qPrintable(pty.slavePath()),
            qPrintable(port.errorString()));
        Block failed;
        failed.stalled = true;
        return failed;
    }
    Streaming streaming(pty, shape, from, count);
    qint64 received = 0;
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        received += port.readAll().size();
        streaming.progress(received);
    });
    Block block = streaming.run();
    port.close();
    return block;
}

QString ratio(double value, double reference)
{
    return reference > 0 ? QString::number(value / reference, 'f', 2) : QStringLiteral("-");
}

QString joined(const QList<double> &values, int decimals)
{
    QStringList parts;
    for (double v : values)
        parts << QString::number(v, 'f', decimals);
    return parts.join(u' ');
}

void reportBlocks(const char *what, const QList<Block> &blocks, double reference)
{
    const Block all = sum(blocks);
    report("%s: %lld bytes in %.2f s, %.1f MB/s%s%s\n", what, all.bytes, all.seconds, all.rate(),
        reference > 0 ? qPrintable(QStringLiteral(", %1 of raw").arg(ratio(all.rate(), reference)))
                      : "",
        all.stalled ? "  STALLED" : "");
    QList<double> rates;
    for (const Block &b : blocks)
        rates << b.rate();
    report("  MB/s per block: %s\n", qPrintable(joined(rates, 0)));
    if (all.segmentRates.size() > blocks.size())
        report("  MB/s per 16 MiB: %s\n", qPrintable(joined(all.segmentRates, 0)));
    // The window thread's own cost per block, free of the waits: does it grow
    // as the views fill?
    QList<double> cpu;
    for (const Block &b : blocks)
        cpu << b.readerCpu * 1e9 / double(std::max<qint64>(b.bytes, 1));
    report("  window's thread CPU per block, ns per byte: %s\n", qPrintable(joined(cpu, 2)));
    const double reads = double(std::max<qint64>(all.reads, 1));
    report("  %lld reads, %.0f bytes per read; per read %.1f us of wall time, %.1f us of "
           "it handling the notification\n",
        all.reads, double(all.bytes) / reads, all.seconds * 1e6 / reads,
        all.readHandling * 1e6 / reads);
    report("  CPU: window's thread %.2f s (%.0f%% of the wall time), writer thread %.2f s\n",
        all.readerCpu, 100 * all.readerCpu / std::max(all.seconds, 1e-9), all.writerCpu);
}

// Forced repaints of one view at scroll positions over the whole log: mean
// and worst, in ms, measured around repaint() (paint and flush).
QPair<double, double> paintTimes(TrafficView *view)
{
    constexpr int kFrames = 40;
    QScrollBar *bar = view->verticalScrollBar();
    view->viewport()->repaint(); // fills the glyph cache
    QList<double> times;
    for (int i = 0; i <= kFrames; ++i) {
        bar->setValue(int(qint64(bar->maximum()) * i / kFrames));
        QElapsedTimer clock;
        clock.start();
        view->viewport()->repaint();
        times.append(milliseconds(clock));
    }
    benchApp()->takePaints(view->viewport());
    return { mean(times), *std::max_element(times.begin(), times.end()) };
}

// The window narrowed by a quarter and widened back: the slower of the two,
// from the resize until both views have been repainted.
double rewrapTime(FrmEmpfang *form)
{
    QMdiSubWindow *frame = form->frame();
    const int width = frame->width();
    double worst = 0;
    for (int target : { width * 3 / 4, width }) {
        const int textColumns = form->Text1->columns();
        const int hexColumns = form->Text2->columns();
        QElapsedTimer clock;
        clock.start();
        frame->resize(target, frame->height());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        form->Text1->viewport()->repaint();
        form->Text2->viewport()->repaint();
        const double ms = milliseconds(clock);
        worst = std::max(worst, ms);
        report("  resize to %d px: %.1f ms, text view %d -> %d columns, hex view %d -> %d\n",
            target, ms, textColumns, form->Text1->columns(), hexColumns, form->Text2->columns());
    }
    QCoreApplication::processEvents();
    return worst;
}

QString hexOf(QByteArrayView bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    QString hex(bytes.size() * 3, Qt::Uninitialized);
    QChar *out = hex.data();
    for (char c : bytes) {
        *out++ = QLatin1Char(kDigits[uchar(c) >> 4]);
        *out++ = QLatin1Char(kDigits[uchar(c) & 15]);
        *out++ = QLatin1Char(' ');
    }
    return hex;
}

// Select all and copy; the clipboard is compared with what the pty sent,
// rendered independently of the view (the shapes hold printable ASCII, CR
// and LF only, so the text view's characters are the bytes themselves).
bool copyAll(TrafficView *view, const StreamShape &shape, qint64 total, bool hex, double *ms)
{
    view->selectAll();
    QElapsedTimer clock;
    clock.start();
    view->copy();
    *ms = milliseconds(clock);
    const QString copied = QApplication::clipboard()->text();
    const qint64 perByte = hex ? 3 : 1;
    bool same = copied.size() == total * perByte;
    constexpr qint64 kPiece = 64 * 1024;
    for (qint64 from = 0; same && from < total; from += kPiece) {
        const QByteArrayView bytes = shape.bytes(from, std::min(kPiece, total - from));
        const QStringView got = QStringView(copied).mid(from * perByte, bytes.size() * perByte);
        same = hex ? got == hexOf(bytes) : got == QLatin1StringView(bytes.data(), bytes.size());
        if (!same)
            report("  copy differs in the piece from byte %lld\n", from);
    }
    view->setCursorPosition(view->length());
    QApplication::clipboard()->clear();
    return same;
}

struct StreamPaints
{
    QList<double> view; // ms per paint of the viewport
    qsizetype scrollBar = 0; // paints of the scroll bar
};

StreamPaints takeStreamPaints(TrafficView *view)
{
    return { benchApp()->takePaints(view->viewport()),
        benchApp()->takePaints(view->verticalScrollBar()).size() };
}

void reportStreamPaints(const char *name, const StreamPaints &paints)
{
    report("  %s view: %lld frames painted, paint mean %.2f ms, p99 %.2f ms, max %.2f ms; "
           "scroll bar painted %lld times\n",
        name, qint64(paints.view.size()), mean(paints.view), percentile(paints.view, 99),
        percentile(paints.view, 100), qint64(paints.scrollBar));
}

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

// The program with its received-data window open on a pty, its views'
// paints watched from the first frame.
struct Session
{
    PtyStream pty;
    std::unique_ptr<TavelProgram> program;
    FrmEmpfang *form = nullptr;

    bool open()
    {
        if (!pty.isOpen()) {
            report("no pseudo-terminal: %s\n", qPrintable(pty.errorString()));
            return false;
        }
        program = std::make_unique<TavelProgram>(pty.slavePath());
        if (!program->started()) {
            report("the main window did not start: %s\n",
                qPrintable(program->dialogs().messageTexts().join(u"; ")));
            return false;
        }
        // The window would load with the first byte; loading it first lets the
        // paints be counted from the first, and brings it to the front.
        form = &program->window().empfang().show();
        for (TrafficView *view : { form->Text1, form->Text2 }) {
            benchApp()->watch(view->viewport());
            benchApp()->watch(view->verticalScrollBar());
        }
        QCoreApplication::processEvents();
        for (TrafficView *view : { form->Text1, form->Text2 }) {
            benchApp()->takePaints(view->viewport());
            benchApp()->takePaints(view->verticalScrollBar());
        }
        report("received-data window: %d x %d px, text view %d columns x %d rows, hex view %d x "
               "%d, visible %s\n",
            form->frame()->width(), form->frame()->height(), form->Text1->columns(),
            form->Text1->visibleRowCount(), form->Text2->columns(), form->Text2->visibleRowCount(),
            form->frame()->isVisible() ? "yes" : "NO");
        return true;
    }
};

// What streaming the whole shape measured.
struct StreamResult
{
    QList<Block> raw;
    QList<Block> streamed;
    QList<double> lateness;
    qint64 residentGrowth = 0;
    StreamPaints textPaints;
    StreamPaints hexPaints;
    bool exact = false;
    bool failed = false;
};

// Each block goes through the program, and the same bytes go to a bare
// QSerialPort just before it, and the last block's once more after it, so
// that every block is compared with the drain rate of its own moment on a
// machine whose load changes.
StreamResult streamAll(Session &session, const StreamShape &shape, qint64 total, qint64 blockSize)
{
    MDITavel &window = session.program->window();
    FrmEinstellungen &settings = *window.einstellungen().loaded();
    FrmEmpfang &form = *session.form;
    StreamResult result;
    Streaming *current = nullptr;
    qint64 blockStart = 0;
    // Connected after the main window's own OnComm, so it sees the log
    // after each append.
    QObject::connect(&window.MSComm1(), &MSComm::OnComm, &window, [&] {
        if (current)
            current->progress(form.log().size() - blockStart);
    });
    Lateness lateness;
    qint64 residentBefore = 0;
    for (qint64 from = 0; from < total && !result.failed; from += blockSize) {
        const qint64 count = std::min(blockSize, total - from);
        result.raw.append(drainRaw(session.pty, shape, from, count));
        settings.Command3->click();
        if (!window.MSComm1().PortOpen()) {
            report("connecting failed: %s\n",
                qPrintable(session.program->dialogs().messageTexts().join(u"; ")));
            result.failed = true;
            break;
        }
        if (from == 0)
            residentBefore = residentBytes();
        Streaming streaming(session.pty, shape, from, count);
        current = &streaming;
        blockStart = from;
        lateness.resume();
        result.streamed.append(streaming.run());
        lateness.pause();
        current = nullptr;
        if (from + count >= total)
            result.residentGrowth = residentBytes() - residentBefore;
        settings.Command2->click();
        result.failed = result.raw.constLast().stalled || result.streamed.constLast().stalled;
        if (!result.failed && from + count >= total)
            result.raw.append(drainRaw(session.pty, shape, from, count));
    }
    result.lateness = lateness.values();
    result.textPaints = takeStreamPaints(form.Text1);
    result.hexPaints = takeStreamPaints(form.Text2);
    result.exact = logHoldsTheStream(form.log(), shape, total);
    return result;
}

// Each 16 MiB against the mean of the drains just before and after its
// block; a block shorter than that counts as one.
QList<double> segmentRatios(const StreamResult &result)
{
    QList<double> ratios;
    for (qsizetype i = 0; i < result.streamed.size(); ++i) {
        const double neighbours = (result.raw[i].rate() + result.raw[i + 1].rate()) / 2;
        const QList<double> rates = result.streamed[i].segmentRates.isEmpty()
            ? QList<double> { result.streamed[i].rate() }
            : result.streamed[i].segmentRates;
        for (double rate : rates)
            ratios << rate / neighbours;
    }
    return ratios;
}

void reportStream(const StreamResult &result, const QList<double> &ratios, qint64 total)
{
    const double reference = sum(result.raw).rate();
    reportBlocks("bare QSerialPort, reading and discarding", result.raw, 0);
    reportBlocks("through MSComm, OnComm and the received-data window", result.streamed, reference);
    report("  per 16 MiB, ratio to the raw drains before and after its block: %s\n",
        qPrintable(joined(ratios, 2)));
    report("  16 ms timer lateness: p99 %.2f ms, max %.2f ms (%lld ticks)\n",
        percentile(result.lateness, 99), percentile(result.lateness, 100),
        qint64(result.lateness.size()));
    reportStreamPaints("text", result.textPaints);
    reportStreamPaints("hex", result.hexPaints);
    report("  resident growth: %.1f MB, %.3f bytes per received byte\n",
        result.residentGrowth / 1e6, double(result.residentGrowth) / double(total));
    report("  log holds exactly the bytes sent: %s\n", result.exact ? "yes" : "NO");
}

// What the window costs with the whole stream held.
struct HeldMeasures
{
    double worstPaint = 0;
    double rewrap = 0;
    bool copied = true;
    double clearPaintedMs = 0;
};

void measurePaints(FrmEmpfang &form, const char *how, HeldMeasures &held)
{
    for (TrafficView *view : { form.Text1, form.Text2 }) {
        const auto [average, worst] = paintTimes(view);
        held.worstPaint = std::max(held.worstPaint, worst);
        report("  %s view%s, %d x %d cells: frame mean %.2f ms, worst %.2f ms\n",
            view == form.Text1 ? "text" : "hex", how, view->columns(), view->visibleRowCount(),
            average, worst);
    }
    const double rewrap = rewrapTime(&form);
    held.rewrap = std::max(held.rewrap, rewrap);
    report(
        "  rewrap after resize%s (resize, layout, both views repainted): %.1f ms\n", how, rewrap);
}

HeldMeasures measureHeld(Session &session, const StreamShape &shape, qint64 total)
{
    FrmEmpfang &form = *session.form;
    HeldMeasures held;
    report("with %lld MiB held:\n", total >> 20);
    measurePaints(form, "", held);
    // The window maximised in a main window on a large screen.
    session.program->window().resize(1920, 1050);
    form.frame()->showMaximized();
    QCoreApplication::processEvents();
    measurePaints(form, " maximised", held);
    for (TrafficView *view : { form.Text1, form.Text2 }) {
        double ms = 0;
        const bool hex = view == form.Text2;
        const bool same = copyAll(view, shape, total, hex, &ms);
        held.copied = held.copied && same;
        report("  copy all, %s view: %s in %.0f ms (%lld characters)\n", hex ? "hex" : "text",
            same ? "exact" : "FAILED", ms, view->length());
    }
    QElapsedTimer clock;
    clock.start();
    form.Command2->click();
    const double clearMs = milliseconds(clock);
    form.Text1->viewport()->repaint();
    form.Text2->viewport()->repaint();
    held.clearPaintedMs = milliseconds(clock);
    report("  clear (\"Empfangsfenster löschen\"): %.1f ms, %.1f ms with both views repainted; "
           "log now %lld bytes\n",
        clearMs, held.clearPaintedMs, form.log().size());
    return held;
}

void reportTargets(
    const StreamResult &result, const QList<double> &ratios, const HeldMeasures &held, qint64 total)
{
    const double reference = sum(result.raw).rate();
    const double rateRatio = sum(result.streamed).rate() / reference;
    const qsizetype quarter = std::max<qsizetype>(1, ratios.size() / 4);
    const double firstQuarter = mean(ratios.first(quarter));
    const double lastQuarter = mean(ratios.last(quarter));
    const double slowest = *std::min_element(ratios.begin(), ratios.end());
    const double perByte = double(result.residentGrowth) / double(total);
    const double p99 = percentile(result.lateness, 99);
    // A time as the bytes the bare port drains meanwhile: what stays the same
    // on a machine twice as fast.
    const auto drained = [reference](double ms) {
        return QStringLiteral("%1 KB raw").arg(ms * reference, 0, 'f', 0);
    };
    report("targets (times also as the bytes the bare port drains meanwhile):\n");
    report("  throughput >= 0.50 of raw: overall %.2f; per 16 MiB: first quarter %.2f, last "
           "quarter %.2f, slowest %.2f: %s\n",
        rateRatio, firstQuarter, lastQuarter, slowest,
        verdict(rateRatio >= 0.5 && lastQuarter >= 0.5));
    report("  16 ms timer p99 lateness <= 50 ms: %.2f ms, %s: %s\n", p99, qPrintable(drained(p99)),
        verdict(p99 <= 50));
    report("  resident growth <= 2 bytes per byte: %.3f: %s\n", perByte, verdict(perByte <= 2));
    report("  frame < 8 ms: worst %.2f ms, %s: %s\n", held.worstPaint,
        qPrintable(drained(held.worstPaint)), verdict(held.worstPaint < 8));
    report("  clear < 50 ms: %.1f ms, %s: %s\n", held.clearPaintedMs,
        qPrintable(drained(held.clearPaintedMs)), verdict(held.clearPaintedMs < 50));
    report("  rewrap < 100 ms: %.1f ms, %s: %s\n", held.rewrap, qPrintable(drained(held.rewrap)),
        verdict(held.rewrap < 100));
    report("  copy all exact: %s\n", verdict(held.copied && result.exact));
}

int streamShape(const StreamShape &shape, qint64 total, qint64 blockSize)
{
    report("\n## %s, %lld MiB in blocks of %lld MiB\n", qPrintable(shape.name()), total >> 20,
        blockSize >> 20);
    Session session;
    if (!session.open())
        return 1;
    const StreamResult result = streamAll(session, shape, total, blockSize);
    if (result.failed)
        return 1;
    const QList<double> ratios = segmentRatios(result);
    reportStream(result, ratios, total);
    const HeldMeasures held = measureHeld(session, shape, total);
    reportTargets(result, ratios, held, total);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("megabytes"), QStringLiteral("Bytes per shape, in MiB."),
        QStringLiteral("n"), QStringLiteral("256") });
    parser.addOption({ QStringLiteral("shape"), QStringLiteral("text, endless or both."),
        QStringLiteral("shape"), QStringLiteral("both") });
    parser.addOption({ QStringLiteral("block"),
        QStringLiteral("MiB streamed between two reference drains; the whole size for one "
                       "unbroken stream."),
        QStringLiteral("n"), QStringLiteral("16") });
    parser.process(app);
    const qint64 block = parser.value(QStringLiteral("block")).toLongLong() << 20;
    const qint64 total = parser.value(QStringLiteral("megabytes")).toLongLong() << 20;
    const QString shape = parser.value(QStringLiteral("shape"));
    if (shape == QLatin1String("both")) {
        // One process per shape, so that the second does not reuse the heap
        // the first gave back and hide its memory growth.
        for (const char *one : { "text", "endless" }) {
            const QStringList arguments { QStringLiteral("--shape"), QString::fromLatin1(one),
                QStringLiteral("--megabytes"), parser.value(QStringLiteral("megabytes")),
                QStringLiteral("--block"), parser.value(QStringLiteral("block")) };
            if (QProcess::execute(QCoreApplication::applicationFilePath(), arguments) != 0)
                return 1;
        }
        return 0;
    }
    report("bench_serialstream: Qt %s, platform %s, resident at start %.1f MB\n", qVersion(),
        qPrintable(QApplication::platformName()), residentBytes() / 1e6);
    return streamShape(
        StreamShape(shape == QLatin1String("text") ? StreamShape::Kind::TextLines
                                                   : StreamShape::Kind::EndlessPrintable),
        total, std::clamp(block, qint64(1) << 20, total));
}
