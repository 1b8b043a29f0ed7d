// The search of the data windows (TrafficFinder, as WindowSearch runs it)
// over a gigabyte held in the received-data window's views: how long a
// pattern that is not there takes to be scanned through, the only match near
// the end to be found, a million matches to be marked, the same in either
// case, against grep -F over the same bytes; and how late the window's event
// loop comes while such scans run during a 1 Mbaud stream. See README.md.

#include "grepfixed.h"
#include "latencyprobe.h"
#include "receivedviews.h"
#include "residentmemory.h"
#include "text/bytepattern.h"
#include "text/cp1252.h"
#include "traffic/trafficfinder.h"
#include "traffic/trafficlog.h"
#include "traffictext.h"
#include "windows/searchdialog.h"
#include "windows/trafficview/trafficview.h"
#include "windows/windowsearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <malloc.h>

namespace {

// 1 Mbaud at ten bits a byte (start, eight data bits, stop).
constexpr qint64 kStreamBytesPerSecond = 100'000;
// The stream's reads come this often: about a thousand bytes each.
constexpr int kStreamTickMs = 10;
// The history is appended in reads of this size, as a fast line delivers them.
constexpr qsizetype kSmallestRead = 4 * 1024;
constexpr qsizetype kLargestRead = 64 * 1024;
// One marked line per this many bytes: a million in a gigabyte.
constexpr qint64 kBytesPerMarker = (qint64(1) << 30) / 1'000'000;

// The lines the benchmark plants replace a state "warte auf Antwort" of the
// generated log, byte for byte, so that the log keeps its lines.
constexpr QByteArrayView kWaiting("warte auf Antwort");
// A million times, spread over the whole history.
const char *const kMarker = "Grenzwert Kanal 3";
// Once, near the end.
const char *const kOnce = "Prüfsumme falsch!";

void report(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

double milliseconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

QByteArray bytesOf(const char *text)
{
    return Cp1252::fromUnicode(QString::fromUtf8(text));
}

// Puts `line` in place of the first "warte auf Antwort" at or after from;
// where it went, or -1 when there is none.
qsizetype plant(QByteArray &bytes, qsizetype from, QByteArrayView line)
{
    Q_ASSERT(line.size() == kWaiting.size());
    const qsizetype at = bytes.indexOf(kWaiting, from);
    if (at >= 0)
        memcpy(bytes.data() + at, line.data(), size_t(line.size()));
    return at;
}

struct History
{
    QByteArray bytes;
    qint64 markers = 0;
    qint64 onceAt = -1;
};

History makeHistory(qsizetype size)
{
    History history { textLog(size) };
    // Within the last quarter megabyte; the markers go elsewhere.
    history.onceAt
        = plant(history.bytes, std::max<qsizetype>(0, size - 256 * 1024), bytesOf(kOnce));
    const QByteArray marker = bytesOf(kMarker);
    for (qint64 from = 0; from < size; from += kBytesPerMarker) {
        if (plant(history.bytes, from, marker) < 0)
            break;
        ++history.markers;
    }
    return history;
}

void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until the finder is through what the log held, or
// until a minute has passed; calls atChange at each of its changes.
template<typename AtChange>
void waitForScan(const TrafficFinder &finder, AtChange atChange)
{
    if (!finder.isScanning())
        return;
    QEventLoop loop;
    const QMetaObject::Connection connection
        = QObject::connect(&finder, &TrafficFinder::changed, &loop, [&] {
              atChange();
              if (!finder.isScanning())
                  loop.quit();
          });
    QTimer::singleShot(60'000, &loop, [&] {
        report("    (scan still running after a minute)\n");
        loop.quit();
    });
    loop.exec();
    QObject::disconnect(connection);
}

// Lets searches that were stopped or have ended go (they are deleted later).
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The resident set once the allocator has given back what it holds free:
// the memory in use, without what malloc keeps for later.
qint64 residentInUse()
{
    malloc_trim(0);
    return residentBytes();
}

struct Case
{
    const char *name;
    const char *text;
    Qt::CaseSensitivity sensitivity;
    // Where the history holds it, in words for the table.
    const char *holds;

    BytePattern pattern() const
    {
        return BytePattern::fromText(QString::fromUtf8(text), sensitivity).pattern;
    }
};

const Case kCases[] = {
    { "Fehler 42", "Fehler 42", Qt::CaseSensitive, "absent" },
    { "fehler 42, either case", "fehler 42", Qt::CaseInsensitive, "absent" },
    { "Zählerstand", "Zählerstand", Qt::CaseSensitive, "absent" },
    { "zählerstand, either case", "zählerstand", Qt::CaseInsensitive, "absent" },
    { "Prüfsumme falsch", "Prüfsumme falsch", Qt::CaseSensitive, "once, near the end" },
    { "prüfsumme falsch, either case", "prüfsumme falsch", Qt::CaseInsensitive,
        "once, near the end" },
    { "Grenzwert", "Grenzwert", Qt::CaseSensitive, "every marker" },
    { "grenzwert, either case", "grenzwert", Qt::CaseInsensitive, "every marker" },
};

struct Scan
{
    // From setPattern until the first match came, and until the scan was through.
    double firstHitMs = -1;
    double doneMs = 0;
    qsizetype hits = 0;
    qsizetype capacity = 0;
    // The process's resident set after the scan, against before it; and the
    // same with free memory given back on both sides.
    qint64 residentGrowth = 0;
    qint64 inUseGrowth = 0;
};

Scan scanOnce(TrafficFinder &finder, const BytePattern &pattern)
{
    finder.setPattern(std::nullopt);
    settle();
    const qint64 residentBefore = residentInUse();
    Scan scan;
    QElapsedTimer clock;
    clock.start();
    finder.setPattern(pattern);
    waitForScan(finder, [&] {
        if (scan.firstHitMs < 0 && !finder.hits().empty())
            scan.firstHitMs = milliseconds(clock);
    });
    scan.doneMs = milliseconds(clock);
    scan.hits = qsizetype(finder.hits().size());
    scan.capacity = qsizetype(finder.hits().capacity());
    settle();
    scan.residentGrowth = residentBytes() - residentBefore;
    scan.inUseGrowth = residentInUse() - residentBefore;
    return scan;
}

struct CaseFigures
{
    Scan best;
    // Of the first round, with nothing an earlier one freed in the way.
    Scan first;
    GrepRun grep;
};

QString ms(double value)
{
    return value < 0 ? QStringLiteral("–") : QString::asprintf("%.0f ms", value);
}

// The pattern typed into the window's own dialog, "Suchen", as text.
void enterPattern(WindowSearch &search, const Case &c)
{
    SearchDialog *dialog = search.dialog();
    // Empty first, so that the case option does not start a scan of its own.
    dialog->patternEdit()->clear();
    dialog->textOption()->setChecked(true);
    dialog->caseOption()->setChecked(c.sensitivity == Qt::CaseSensitive);
    dialog->patternEdit()->setText(QString::fromUtf8(c.text));
}

// Appends to the received-data window at a serial line's pace, in reads as
// a QTimer brings them; the source's bytes over and over.
class Stream
{
public:
    Stream(ReceivedViews &views, QByteArrayView source)
        : m_views(views)
        , m_source(source)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kStreamTickMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { read(); });
    }

    void start()
    {
        m_clock.start();
        m_lastTick = 0;
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    qint64 sent() const { return m_sent; }
    // The longest time between two reads, in ms.
    double worstGapMs() const { return m_worstGap; }
    void resetWorstGap() { m_worstGap = 0; }

private:
    void read()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_worstGap = std::max(m_worstGap, double(now - m_lastTick) / 1e6);
        m_lastTick = now;
        qint64 owed = now * kStreamBytesPerSecond / 1'000'000'000 - m_streamed;
        m_streamed += owed;
        while (owed > 0) {
            const qsizetype count = qsizetype(std::min<qint64>(owed, m_source.size() - m_at));
            m_views.receive(m_source.sliced(m_at, count));
            m_at = (m_at + count) % m_source.size();
            m_sent += count;
            owed -= count;
        }
    }

    ReceivedViews &m_views;
    QByteArrayView m_source;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastTick = 0;
    qint64 m_streamed = 0;
    qint64 m_sent = 0;
    qsizetype m_at = 0;
    double m_worstGap = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("megabytes"), QStringLiteral("History held, in MiB."),
        QStringLiteral("n"), QStringLiteral("1024") });
    parser.addOption(
        { QStringLiteral("rounds"), QStringLiteral("Rounds per pattern; the best counts."),
            QStringLiteral("n"), QStringLiteral("3") });
    parser.addOption({ QStringLiteral("stream-scans"),
        QStringLiteral("Scans while the stream runs (all patterns in turn)."), QStringLiteral("n"),
        QStringLiteral("16") });
    parser.process(app);
    const qsizetype size = qsizetype(parser.value(QStringLiteral("megabytes")).toLongLong()) << 20;
    const int rounds = std::max(1, parser.value(QStringLiteral("rounds")).toInt());
    const int streamScans = std::max(1, parser.value(QStringLiteral("stream-scans")).toInt());

    QElapsedTimer clock;
    clock.start();
    const History history = makeHistory(size);
    report("history: %lld MiB of text lines, \"%s\" %lld times, \"%s\" once at %lld (%.1f s)\n",
        static_cast<long long>(size >> 20), kMarker, static_cast<long long>(history.markers), kOnce,
        static_cast<long long>(history.onceAt), milliseconds(clock) / 1000);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("history"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(history.bytes) != history.bytes.size())
            qFatal("cannot write %s", qPrintable(file));
    }

    // The received-data window's views over the log, as the window has them.
    ReceivedViews views;
    const qint64 residentEmpty = residentBytes();
    clock.restart();
    QRandomGenerator reads(3);
    for (qsizetype at = 0; at < size;) {
        const qsizetype count = std::min(
            qsizetype(reads.bounded(int(kSmallestRead), int(kLargestRead) + 1)), size - at);
        views.receive(QByteArrayView(history.bytes).sliced(at, count));
        at += count;
    }
    QCoreApplication::processEvents();
    report("appended in 4 to 64 KiB reads: %.1f s, resident +%.0f MiB\n",
        milliseconds(clock) / 1000, double(residentBytes() - residentEmpty) / (1 << 20));
    TrafficLog &log = *views.log();
    if (log.size() != size || log.bytes(0, 4096) != history.bytes.first(4096))
        qFatal("the log does not hold the history");

    // The finder on its own, as the window's search holds it.
    TrafficFinder finder(log);
    report("\n| pattern | history holds | matches | first match | scan through | grep -c -F | "
           "grep lines | bytes per match |\n|---|---|---:|---:|---:|---:|---:|---:|\n");
    std::vector<CaseFigures> figures;
    for (const Case &c : kCases) {
        CaseFigures f;
        for (int round = 0; round < rounds; ++round) {
            const Scan scan = scanOnce(finder, c.pattern());
            if (round == 0) {
                f.best = scan;
                f.first = scan;
            }
            f.best.doneMs = std::min(f.best.doneMs, scan.doneMs);
            if (scan.firstHitMs >= 0)
                f.best.firstHitMs = f.best.firstHitMs < 0
                    ? scan.firstHitMs
                    : std::min(f.best.firstHitMs, scan.firstHitMs);
        }
        const QByteArray fixed = Cp1252::fromUnicode(QString::fromUtf8(c.text));
        f.grep = grepFixed(fixed, c.sensitivity == Qt::CaseInsensitive, file, rounds);
        if (f.grep.lines.toLongLong() != f.best.hits)
            report("    (grep counts %s lines, the finder %lld matches)\n",
                f.grep.lines.constData(), static_cast<long long>(f.best.hits));
        QString perMatch = QStringLiteral("–");
        if (f.best.hits >= 1000) {
            const double matches = double(f.best.hits);
            perMatch = QString::asprintf("%.1f (resident %.1f, in use %.1f)",
                double(f.best.capacity) * sizeof(qint64) / matches,
                double(f.first.residentGrowth) / matches, double(f.first.inUseGrowth) / matches);
        }
        report("| %s | %s | %lld | %s | %s | %s | %s | %s |\n", c.name, c.holds,
            static_cast<long long>(f.best.hits), qPrintable(ms(f.best.firstHitMs)),
            qPrintable(ms(f.best.doneMs)), qPrintable(ms(f.grep.seconds * 1000)),
            f.grep.lines.constData(), qPrintable(perMatch));
        figures.push_back(f);
    }
    finder.setPattern(std::nullopt);
    settle();

    // "Alle markieren" in the window: the entry, the button, both views
    // marking every match as it comes.
    WindowSearch search(views.window(), views.text(), views.hex());
    search.openDialog();
    QCoreApplication::processEvents();
    const Case &marked = kCases[6];
    double markAllMs = 1e9;
    double markedFrameMs = 0;
    for (int round = 0; round < rounds; ++round) {
        search.dialog()->patternEdit()->clear();
        settle();
        QElapsedTimer markClock;
        markClock.start();
        enterPattern(search, marked);
        search.dialog()->markAllButton()->click();
        waitForScan(search.finder(), [] {});
        markAllMs = std::min(markAllMs, milliseconds(markClock));
    }
    double plainFrameMs = 0;
    {
        // Frames of the text view in the middle of the log, with the marks and without.
        const qint64 hit = search.finder().hits()[search.finder().hits().size() / 2];
        views.text()->ensureVisible(hit);
        QCoreApplication::processEvents();
        const auto frameMs = [&views] {
            constexpr int kFrames = 20;
            QElapsedTimer frame;
            frame.start();
            for (int i = 0; i < kFrames; ++i)
                views.text()->viewport()->repaint();
            return milliseconds(frame) / kFrames;
        };
        markedFrameMs = frameMs();
        views.text()->setMarks(nullptr, 0);
        plainFrameMs = frameMs();
        views.text()->setMarks(&search.finder().hits(), search.finder().length());
    }
    report("\n\"Alle markieren\" for \"%s\" in the window, entry to scan through: %.0f ms, "
           "%lld matches marked; a text view frame %.2f ms with the marks, %.2f ms without\n",
        marked.text, markAllMs, static_cast<long long>(search.finder().hits().size()),
        markedFrameMs, plainFrameMs);

    // The window while data arrive at 1 Mbaud: no search, then a scan of the
    // whole history after another, each entered and marked in the dialog.
    Stream stream(views, QByteArrayView(history.bytes).first(std::min<qsizetype>(size, 64 << 20)));
    search.dialog()->patternEdit()->clear();
    settle();
    stream.start();
    runEventLoopFor(500);
    LatencyProbe quiet;
    quiet.start();
    stream.resetWorstGap();
    runEventLoopFor(3000);
    quiet.stop();
    const double quietGap = stream.worstGapMs();
    report("\nstream at %lld bytes/s in %d ms reads, no search, 3 s: 16 ms timer late p50 %.2f, "
           "p99 %.2f, worst %.2f ms over %lld ticks; reads %.1f ms apart at worst\n",
        static_cast<long long>(kStreamBytesPerSecond), kStreamTickMs, quiet.percentile(50),
        quiet.percentile(99), quiet.percentile(100), static_cast<long long>(quiet.ticks()),
        quietGap);

    report("\n| scan during the stream | matches | scan through | 16 ms timer late, p99 / worst "
           "| ticks | reads apart, worst |\n|---|---:|---:|---:|---:|---:|\n");
    LatencyProbe whole;
    whole.start();
    double worstLate = 0;
    double worstGap = 0;
    double slowestScan = 0;
    for (int i = 0; i < streamScans; ++i) {
        const Case &c = kCases[size_t(i) % std::size(kCases)];
        LatencyProbe during;
        stream.resetWorstGap();
        QElapsedTimer scanClock;
        scanClock.start();
        during.start();
        enterPattern(search, c);
        search.dialog()->markAllButton()->click();
        waitForScan(search.finder(), [] {});
        during.stop();
        const double scanMs = milliseconds(scanClock);
        worstLate = std::max(worstLate, during.percentile(100));
        worstGap = std::max(worstGap, stream.worstGapMs());
        slowestScan = std::max(slowestScan, scanMs);
        report("| %s | %lld | %.0f ms | %.2f / %.2f ms | %lld | %.1f ms |\n", c.name,
            static_cast<long long>(search.finder().hits().size()), scanMs, during.percentile(99),
            during.percentile(100), static_cast<long long>(during.ticks()), stream.worstGapMs());
        // The pattern stays; what arrives now is scanned read by read.
        runEventLoopFor(300);
    }
    whole.stop();
    stream.stop();
    report("\nall %d scans and the time between them (%.1f MB streamed): 16 ms timer late p50 "
           "%.2f, p99 %.2f, worst %.2f ms over %lld ticks\n",
        streamScans, double(stream.sent()) / 1e6, whole.percentile(50), whole.percentile(99),
        whole.percentile(100), static_cast<long long>(whole.ticks()));

    // Against the targets.
    const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    const CaseFigures &absent = figures[0];
    const CaseFigures &once = figures[4];
    const CaseFigures &million = figures[6];
    const double absentRatio = absent.best.doneMs / (absent.grep.seconds * 1000);
    const double onceMs = once.best.firstHitMs < 0 ? 1e9 : once.best.firstHitMs;
    const double perMatch
        = million.best.hits ? double(million.best.capacity) * 8 / double(million.best.hits) : 0;
    const double foldRatio = figures[3].best.doneMs / figures[2].best.doneMs;
    report("\n| target | measured | |\n|---|---|---|\n");
    report("| absent pattern scanned through in <= 1 s | %.0f ms | %s |\n", absent.best.doneMs,
        verdict(absent.best.doneMs <= 1000));
    report("| ... within 2x of grep -c -F | %.2fx grep (%.0f ms) | %s |\n", absentRatio,
        absent.grep.seconds * 1000, verdict(absentRatio <= 2));
    report("| only match near the end found in <= 1 s | %.0f ms | %s |\n", onceMs,
        verdict(onceMs <= 1000));
    report("| %lld matches scanned and marked in <= 2 s | %.0f ms (finder), %.0f ms (window) | "
           "%s |\n",
        static_cast<long long>(million.best.hits), million.best.doneMs, markAllMs,
        verdict(std::max(million.best.doneMs, markAllMs) <= 2000));
    const double matches = double(std::max<qsizetype>(1, million.best.hits));
    report("| <= 16 bytes per match | %.1f (capacity), resident growth %.1f, of it in use %.1f | "
           "%s |\n",
        perMatch, double(million.first.residentGrowth) / matches,
        double(million.first.inUseGrowth) / matches, verdict(perMatch <= 16));
    report("| either case (Zählerstand) <= 2x exact | %.2fx (%.0f / %.0f ms) | %s |\n", foldRatio,
        figures[3].best.doneMs, figures[2].best.doneMs, verdict(foldRatio <= 2));
    report("| event loop late <= 100 ms while scanning during 1 Mbaud | worst %.1f ms (reads "
           "%.1f ms apart at worst; slowest scan %.0f ms) | %s |\n",
        worstLate, worstGap, slowestScan, verdict(worstLate <= 100));
    return 0;
}
