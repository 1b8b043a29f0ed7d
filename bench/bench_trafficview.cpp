// Streams traffic into the received-data window's text and hex views, painting
// offscreen, then measures what holding it all costs. See README.md.

#include "receivedviews.h"
#include "residentmemory.h"
#include "streamrun.h"
#include "streamshape.h"
#include "traffic/trafficlog.h"
#include "windows/trafficview/trafficview.h"

#include <QApplication>
#include <QClipboard>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>
#include <cstdio>

namespace {

double milliseconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

void report(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

// Frames at scroll positions spread over the whole log: mean and worst, in ms.
QPair<double, double> paintTimes(TrafficView *view)
{
    constexpr int kFrames = 40;
    QScrollBar *bar = view->verticalScrollBar();
    // The first frame fills the glyph cache; it is reported on its own.
    QElapsedTimer first;
    first.start();
    view->viewport()->repaint();
    report("first repaint %.2f ms, ", milliseconds(first));
    double sum = 0;
    double worst = 0;
    for (int i = 0; i <= kFrames; ++i) {
        bar->setValue(int(qint64(bar->maximum()) * i / kFrames));
        QElapsedTimer clock;
        clock.start();
        view->viewport()->repaint();
        const double ms = milliseconds(clock);
        sum += ms;
        worst = std::max(worst, ms);
    }
    return { sum / (kFrames + 1), worst };
}

// The slower of a narrowing and a widening by about a quarter, in ms.
double rewrapTime(TrafficView *view)
{
    double worst = 0;
    for (int width : { view->width() * 3 / 4, view->width() }) {
        const int columnsBefore = view->columns();
        QElapsedTimer clock;
        clock.start();
        view->resize(width, view->height());
        worst = std::max(worst, milliseconds(clock));
        if (view->columns() == columnsBefore)
            report("    (width change did not change the columns)\n");
    }
    return worst;
}

// Selects all, copies, and checks the clipboard against the rendering piece by piece.
bool copyAll(TrafficView *view, double *ms)
{
    view->selectAll();
    QElapsedTimer clock;
    clock.start();
    view->copy();
    *ms = milliseconds(clock);
    const QString copied = QApplication::clipboard()->text();
    bool same = copied.size() == view->length();
    constexpr qint64 kPiece = 1 << 22;
    for (qint64 from = 0; same && from < copied.size(); from += kPiece)
        same = QStringView(copied).mid(from, kPiece) == view->text(from, from + kPiece);
    QApplication::clipboard()->clear();
    return same;
}

void streamShape(const StreamShape &shape, qint64 total)
{
    report("\n## %s, %lld MB\n", qPrintable(shape.name()), total >> 20);
    ReceivedViews views;
    report("views: text %d columns, hex %d columns, %d rows each\n", views.text()->columns(),
        views.hex()->columns(), views.text()->visibleRowCount());
    StreamRun run(shape, total);
    const StreamRun::Result result = run.run([&views](QByteArrayView bytes) {
        views.receive(bytes);
        return bytes.size();
    });
    report("streamed: %.2f s, %.0f MB/s, %lld frames painted\n", result.seconds,
        result.megabytesPerSecond(), views.frames());
    QStringList rates;
    for (double rate : result.segmentRates)
        rates << QString::number(rate, 'f', 0);
    report("MB/s per 16 MB: %s\n", qPrintable(rates.join(u' ')));
    report(
        "16 ms timer lateness: p99 %.2f ms, max %.2f ms\n", result.latenessP99, result.latenessMax);
    report("resident growth: %.1f MB, %.3f bytes per received byte\n", result.residentGrowth / 1e6,
        double(result.residentGrowth) / double(result.bytes));

    for (TrafficView *view : { views.text(), views.hex() }) {
        const char *name = view == views.text() ? "text" : "hex";
        const auto [mean, worst] = paintTimes(view);
        report("%s view: paint mean %.2f ms, worst %.2f ms; ", name, mean, worst);
        report("rewrap after resize %.1f ms; ", rewrapTime(view));
        double copyMs = 0;
        const bool copied = copyAll(view, &copyMs);
        report("copy all %s in %.0f ms (%lld characters)\n", copied ? "exact" : "FAILED", copyMs,
            view->length());
    }
    // A maximised window on a large screen shows far more cells per frame.
    views.window()->resize(1900, 1000);
    QApplication::processEvents();
    for (TrafficView *view : { views.text(), views.hex() }) {
        const auto [mean, worst] = paintTimes(view);
        report("%s view at %d x %d cells: paint mean %.2f ms, worst %.2f ms\n",
            view == views.text() ? "text" : "hex", view->columns(), view->visibleRowCount(), mean,
            worst);
    }
    QElapsedTimer clock;
    clock.start();
    views.log()->clear();
    report("clear (log and both views): %.1f ms\n", milliseconds(clock));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("megabytes"), QStringLiteral("Bytes per shape, in MiB."),
        QStringLiteral("n"), QStringLiteral("256") });
    parser.addOption({ QStringLiteral("shape"), QStringLiteral("text, endless or both."),
        QStringLiteral("shape"), QStringLiteral("both") });
    parser.process(app);
    const qint64 total = parser.value(QStringLiteral("megabytes")).toLongLong() << 20;
    const QString shape = parser.value(QStringLiteral("shape"));
    if (shape == QLatin1String("both")) {
        // One process per shape, so that the second does not reuse the heap the
        // first gave back and hide its memory growth.
        for (const char *one : { "text", "endless" }) {
            const QStringList arguments { QStringLiteral("--shape"), QString::fromLatin1(one),
                QStringLiteral("--megabytes"), parser.value(QStringLiteral("megabytes")) };
            if (QProcess::execute(QCoreApplication::applicationFilePath(), arguments) != 0)
                return 1;
        }
        return 0;
    }
    report("bench_trafficview: Qt %s, platform %s, resident at start %.1f MB\n", qVersion(),
        qPrintable(QApplication::platformName()), residentBytes() / 1e6);
    streamShape(StreamShape(shape == QLatin1String("text") ? StreamShape::Kind::TextLines
                                                           : StreamShape::Kind::EndlessPrintable),
        total);
    return 0;
}
