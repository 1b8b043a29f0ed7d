// The received-data path at the pace of real serial lines: a pseudo-terminal
// fed at 115200 baud, 1 and 3 Mbaud in 100 writes a second, read by the
// program on a real X server (Xvfb), and what that costs per second of data:
// CPU time of the program and of the X server, wake-ups, frames, and the delay
// from a read to the frame that shows it. See README.md.

#include "framewatch.h"
#include "pacedruns.h"
#include "xvfbserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace {

const QString kChildOption = QStringLiteral("child");

void addOptions(QCommandLineParser &parser)
{
    parser.addHelpOption();
    parser.addOptions({
        { QStringLiteral("seconds"), QStringLiteral("Length of each measured stretch."),
            QStringLiteral("s"), QStringLiteral("30") },
        { QStringLiteral("mode"),
            QStringLiteral("blackbox (the tavel executable, from /proc), inprocess (frames and "
                           "delays too) or both."),
            QStringLiteral("mode"), QStringLiteral("both") },
        { QStringLiteral("rate"),
            QStringLiteral("115200, 1M, 3M (11.25, 112.5, 337.5 KiB/s), a list or all."),
            QStringLiteral("rates"), QStringLiteral("all") },
        { QStringLiteral("shape"), QStringLiteral("text, endless, a list or all."),
            QStringLiteral("shapes"), QStringLiteral("all") },
        { QStringLiteral("state"),
            QStringLiteral("visible, minimised, hidden, idle, idle-shown, a list or all."),
            QStringLiteral("states"), QStringLiteral("all") },
        { QStringLiteral("tavel"), QStringLiteral("The executable for the black-box runs."),
            QStringLiteral("path"), QStringLiteral(TAVEL_EXECUTABLE) },
        { QStringLiteral("perf"),
            QStringLiteral("Black box: record perf profiles of tavel and Xvfb over each "
                           "measured stretch, as <prefix>-<case>-tavel.data and -xvfb.data."),
            QStringLiteral("prefix") },
        { kChildOption, QStringLiteral("(internal) one in-process case against this X server.") },
        { QStringLiteral("xvfb-pid"), QStringLiteral("(internal)"), QStringLiteral("pid") },
    });
}

PacedTiming timingFrom(const QCommandLineParser &parser)
{
    PacedTiming timing;
    timing.seconds = std::max(1.0, parser.value(QStringLiteral("seconds")).toDouble());
    return timing;
}

void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// One in-process case in a process of its own, on the X server: each starts
// with a fresh heap, a fresh window and a fresh connection to the server.
QString runChild(const PacedCase &run, const QCommandLineParser &parser, const XvfbServer &server)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), server.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
        run.arguments()
            + QStringList { QLatin1String("--") + kChildOption, QStringLiteral("--seconds"),
                parser.value(QStringLiteral("seconds")), QStringLiteral("--xvfb-pid"),
                QString::number(server.pid()) });
    child.waitForFinished(-1);
    QString row;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("| "))
            row = QString::fromUtf8(line);
        else if (!line.isEmpty())
            print(QString::fromUtf8(line));
    }
    return row.isEmpty() ? QStringLiteral("| %1 | %2 | %3 | in process | FAILED (exit %4) |")
                               .arg(run.rateName(), run.shapeName(), run.stateName())
                               .arg(child.exitCode())
                         : row;
}

int childMain(int argc, char **argv)
{
    FrameWatch app(argc, argv);
    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app);
    const PacedCase run = PacedCase::fromArguments(parser.value(QStringLiteral("rate")),
        parser.value(QStringLiteral("shape")), parser.value(QStringLiteral("state")));
    const PacedResult result = runInProcess(
        run, timingFrom(parser), parser.value(QStringLiteral("xvfb-pid")).toLongLong());
    std::printf("  reader let at most %lld bytes wait beyond the pace\n", result.maxBacklog);
    print(result.tableRow(run));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--child") == 0)
            return childMain(argc, argv);
    }
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app);
    // Qt warns in every program started without one.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const PacedTiming timing = timingFrom(parser);
    const QString mode = parser.value(QStringLiteral("mode"));
    const bool blackBox = mode != QLatin1String("inprocess");
    const bool inProcess = mode != QLatin1String("blackbox");
    XvfbServer server;
    if (!server.start()) {
        print(QStringLiteral("no X server: %1").arg(server.errorString()));
        return 1;
    }
    print(QStringLiteral("bench_paced: Qt %1, Xvfb on %2, %3 s a case, tavel %4")
              .arg(QLatin1String(qVersion()), server.display())
              .arg(timing.seconds)
              .arg(parser.value(QStringLiteral("tavel"))));
    QStringList rows;
    const QList<PacedCase> cases = PacedCase::selected(parser.value(QStringLiteral("rate")),
        parser.value(QStringLiteral("shape")), parser.value(QStringLiteral("state")));
    for (const PacedCase &run : cases) {
        print(QStringLiteral("\n## %1, %2, %3")
                  .arg(run.rateName(), run.shapeName(), run.stateName()));
        if (blackBox) {
            QString perf = parser.value(QStringLiteral("perf"));
            if (!perf.isEmpty())
                perf += QLatin1Char('-') + run.arguments().join(u'-').remove(QStringLiteral("--"));
            PacedResult result;
            // Once more after a failure: on a shared machine another
            // developer's clean-up may have ended the program.
            for (int attempt = 0; attempt < 2; ++attempt) {
                result = runBlackBox(run, timing, parser.value(QStringLiteral("tavel")),
                    server.display(), server.pid(), perf);
                if (!result.note.startsWith(QLatin1String("FAILED")))
                    break;
                print(QStringLiteral("  %1").arg(result.note));
            }
            std::printf(
                "  reader let at most %lld bytes wait beyond the pace\n", result.maxBacklog);
            rows << result.tableRow(run);
            print(rows.constLast());
        }
        if (inProcess) {
            rows << runChild(run, parser, server);
            print(rows.constLast());
        }
    }
    print(QStringLiteral("\n") + PacedResult::tableHeader());
    for (const QString &row : rows)
        print(row);
    return 0;
}
