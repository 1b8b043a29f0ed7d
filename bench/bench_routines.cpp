// The "Abläufe" against their targets: how closely a 10 ms repeat keeps its
// schedule, as the device sees it, while the received-data window streams
// 1 Mbaud; how soon an answer follows the match that calls for it; and what
// ten active rules add to the cost of receiving. See README.md.

#include "app/mditavel.h"
#include "app/routinescommand.h"
#include "automation/answerwatch.h"
#include "automation/routines.h"
#include "ptystream.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "tavelprogram.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kMegabaud = 100'000; // bytes a second, ten bits a byte
constexpr char kRepeatByte = 'R';
constexpr char kAnswerByte = '\x06';

qint64 nowNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The calling thread's: the main thread is where the program receives, draws
// and answers, apart from the stream's writer and the listener.
double threadCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const auto index = size_t(std::ceil(p / 100 * double(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() or the time is up; false on the latter.
template<class Done>
bool spinUntil(Done done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        spin(20);
    }
    return true;
}

// The device's ear: a thread that reads everything the program sends and
// notes when each byte of interest arrived, on the monotonic clock.
class FarEndListener
{
public:
    explicit FarEndListener(int fd)
        : m_fd(fd)
        , m_thread([this] { listen(); })
    {
    }
    ~FarEndListener()
    {
        m_stop = true;
        m_thread.join();
    }

    std::vector<qint64> arrivals(char byte) const
    {
        const std::lock_guard lock(m_mutex);
        return byte == kRepeatByte ? m_repeats : m_answers;
    }
    size_t count(char byte) const { return arrivals(byte).size(); }
    bool isRealTime() const { return m_realTime; }
    void clear()
    {
        const std::lock_guard lock(m_mutex);
        m_repeats.clear();
        m_answers.clear();
    }

private:
    void listen()
    {
        // The ear must not be late itself: above the program's threads, where
        // the system allows it (root, or CAP_SYS_NICE).
        const sched_param priority { sched_get_priority_min(SCHED_FIFO) };
        m_realTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
        char buffer[4096];
        while (!m_stop) {
            pollfd ready { m_fd, POLLIN, 0 };
            if (poll(&ready, 1, 10) <= 0)
                continue;
            const ssize_t got = read(m_fd, buffer, sizeof buffer);
            const qint64 at = nowNs();
            const std::lock_guard lock(m_mutex);
            for (ssize_t i = 0; i < got; ++i) {
                if (buffer[i] == kRepeatByte)
                    m_repeats.push_back(at);
                else if (buffer[i] == kAnswerByte)
                    m_answers.push_back(at);
            }
        }
    }

    int m_fd;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_realTime = false;
    mutable std::mutex m_mutex;
    std::vector<qint64> m_repeats;
    std::vector<qint64> m_answers;
    std::thread m_thread;
};

// Ten rules of the kinds people write: words a device says, a prompt, a
// framed hex message with any byte in it. Each answers bytes of its own.
QByteArray tenRulesFile(bool probeable)
{
    QByteArray file;
    const char *patterns[] = { "Text:ERROR", "Text:READY", "Text:login: ", "Text:OK\\r\\n",
        "Hex:1B 5B ?? 6E", "Text:Press any key", "Hex:02 ?? ?? 03", "Text:BUSY", "Text:NO CARRIER",
        "Hex:AA 55 ?? ?? ?? 0D" };
    for (int n = 0; n < 10; ++n) {
        const QByteArray number = QByteArray::number(n + 1);
        file += "Regel" + number + ".Muster="
            + (probeable ? "Hex:02 3" + QByteArray::number(n) + " 03" : QByteArray(patterns[n]))
            + "\nRegel" + number + ".Antwort=Hex:06\n";
    }
    return file;
}

QList<RoutinesSettings::Rule> rulesOf(const QByteArray &file)
{
    const RoutinesSettings::ReadResult read = RoutinesSettings::parse(file);
    if (!read.problem.isEmpty())
        std::fprintf(stderr, "rules: %s\n", qPrintable(read.problem));
    return read.settings.rules();
}

struct Session
{
    PtyStream pty;
    TavelProgram program { pty.slavePath() };
    StreamShape shape { StreamShape::Kind::TextLines };

    MDITavel &window() { return program.window(); }
    Routines &routines() { return window().routinesCommand().routines(); }

    bool open()
    {
        if (!program.started())
            return false;
        window().einstellungen().get().Command3->click();
        // Both views showing, as a user watches the data come in.
        window().empfang().show();
        return window().MSComm1().PortOpen();
    }

    // Into an empty received-data window, so that each stretch can be
    // checked byte for byte.
    void startStream(double seconds)
    {
        window().empfang().get().clearViews();
        pty.setPace(kMegabaud);
        pty.start(shape, 0, qint64(kMegabaud * seconds));
    }

    // Stops the stream and waits until the window holds all of it and the
    // extra bytes the device sent between; false if a byte of the stream
    // went missing or changed (not checked with extra bytes in it).
    bool stopStream(qint64 extra = 0)
    {
        pty.stop();
        const qint64 streamed = pty.written();
        const TrafficLog &log = window().empfang().get().log();
        spinUntil([&] { return log.size() >= streamed + extra; }, 10000);
        return extra == 0 && logHoldsTheStream(log, shape, streamed);
    }
};

void repeatFigures(Session &session, FarEndListener &ear, int sends, int intervalMs, bool streaming,
    bool viewsShown = true)
{
    if (!viewsShown)
        session.window().empfang().get().hideWindow();
    session.window().state().AutomationButtons[0].Payload = QString(QLatin1Char(kRepeatByte));
    if (streaming)
        session.startStream(sends * intervalMs / 1000.0 + 10);
    spin(1000);
    ear.clear();
    const double loadBefore = [] {
        double load = 0;
        return getloadavg(&load, 1) == 1 ? load : -1;
    }();
    // When each send left the program: the repeat reports it right after
    // handing the bytes to the driver.
    std::vector<qint64> handedOver;
    handedOver.reserve(size_t(sends));
    const QMetaObject::Connection watching = QObject::connect(
        &session.routines(), &Routines::repeatChanged, &session.routines(), [&](int button) {
            if (button == 1 && session.routines().repeat(1).sent() > int(handedOver.size()))
                handedOver.push_back(nowNs());
        });
    const qint64 start = nowNs();
    session.routines().startRepeat(1, { intervalMs, sends });
    const bool complete = spinUntil(
        [&] { return ear.count(kRepeatByte) >= size_t(sends); }, sends * intervalMs + 10000);
    QObject::disconnect(watching);
    const bool exact = !streaming || session.stopStream();
    const std::vector<qint64> arrived = ear.arrivals(kRepeatByte);
    std::vector<double> inProgram;
    const qint64 slotNs = qint64(intervalMs) * 1'000'000;
    for (size_t i = 1; i < handedOver.size(); ++i) {
        const qint64 since = handedOver[i] - start;
        inProgram.push_back(double(since - (since + slotNs / 2) / slotNs * slotNs) / 1e6);
    }
    // The first send is measured apart: with it the sent-data window may load.
    // Each other send is set against the slot nearest to it, since a skipped
    // slot leaves no byte.
    const double first = arrived.empty() ? -1 : double(arrived[0] - start) / 1e6;
    const qint64 interval = qint64(intervalMs) * 1'000'000;
    std::vector<double> deviation;
    double sumK = 0, sumD = 0, sumKK = 0, sumKD = 0;
    for (size_t i = 1; i < arrived.size(); ++i) {
        const qint64 since = arrived[i] - start;
        const double k = double((since + interval / 2) / interval);
        const double d = double(since - qint64(k) * interval) / 1e6;
        deviation.push_back(std::abs(d));
        sumK += k;
        sumD += d;
        sumKK += k * k;
        sumKD += k * d;
    }
    const double n = double(deviation.size());
    // The slope of the deviation over the sends: a clock that drifts leans.
    const double slope = (n * sumKD - sumK * sumD) / (n * sumKK - sumK * sumK);
    const auto &run = session.routines().repeat(1);
    std::printf("repeat every %d ms, %d sends, %s: arrived %zu%s, skipped %lld; first send after "
                "%.3f ms; the others' deviation from the schedule p50 %.3f ms, p99 %.3f ms, worst "
                "%.3f ms (handed to the driver: p50 %.3f ms, p99 %.3f ms, worst %.3f ms); drift "
                "%.2f us over the run (%.1f ppm); received log %s; load %.1f\n",
        intervalMs, sends,
        !streaming       ? "quiet line"
            : viewsShown ? "1 Mbaud streaming into both views"
                         : "1 Mbaud streaming, the received-data window closed",
        arrived.size(), complete ? "" : " (incomplete)", static_cast<long long>(run.skipped()),
        first, percentile(deviation, 50), percentile(deviation, 99), percentile(deviation, 100),
        percentile(inProgram, 50), percentile(inProgram, 99), percentile(inProgram, 100),
        slope * double(arrived.size()) * 1000, slope / intervalMs * 1e6,
        exact ? "exact" : "NOT EXACT", loadBefore);
}

void answerFigures(Session &session, FarEndListener &ear, int probes, bool streaming)
{
    session.routines().setRules(rulesOf(tenRulesFile(true)));
    if (streaming)
        session.startStream(probes * 0.025 + 10);
    spin(1000);
    ear.clear();
    std::vector<qint64> written(size_t(probes), 0);
    const int fd = session.pty.masterFd();
    // Every 25 ms, each rule in turn: 4 answers a second per rule, under the
    // brake's ten.
    std::thread prober([&] {
        const qint64 start = nowNs();
        for (int i = 0; i < probes; ++i) {
            const qint64 due = start + qint64(i) * 25'000'000;
            const timespec at { time_t(due / 1'000'000'000), long(due % 1'000'000'000) };
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
            const char match[] = { '\x02', char('0' + i % 10), '\x03' };
            // The device's end does not block: a full pty waits here, and the
            // match counts from when its last byte went in.
            for (size_t done = 0; done < sizeof match;) {
                const ssize_t n = write(fd, match + done, sizeof match - done);
                if (n > 0) {
                    done += size_t(n);
                } else {
                    pollfd room { fd, POLLOUT, 0 };
                    poll(&room, 1, 100);
                }
            }
            written[size_t(i)] = nowNs();
        }
    });
    const bool complete
        = spinUntil([&] { return ear.count(kAnswerByte) >= size_t(probes); }, probes * 25 + 10000);
    prober.join();
    // The matches are in the received log too, between the stream's bytes.
    if (streaming)
        (void)session.stopStream(3 * qint64(probes));
    const std::vector<qint64> answered = ear.arrivals(kAnswerByte);
    std::vector<double> latency;
    for (size_t i = 0; i < std::min(answered.size(), written.size()); ++i)
        latency.push_back(double(answered[i] - written[i]) / 1e6);
    std::printf("answer, %d matches, %s: answered %zu%s; from the match's last byte written to "
                "the answer read p50 %.3f ms, p99 %.3f ms, worst %.3f ms\n",
        probes, streaming ? "1 Mbaud streaming into both views" : "quiet line", answered.size(),
        complete ? "" : " (incomplete)", percentile(latency, 50), percentile(latency, 99),
        percentile(latency, 100));
    session.routines().setRules({});
}

// The watch alone over the text stream, in reads of 1000 bytes (a 1 Mbaud
// line read 100 times a second).
double matchingNsPerByte(const StreamShape &shape)
{
    AnswerWatch watch;
    watch.setRules(rulesOf(tenRulesFile(false)));
    constexpr qint64 kBytes = 256 << 20;
    QElapsedTimer clock;
    clock.start();
    qint64 answers = 0;
    for (qint64 at = 0; at < kBytes; at += 1000)
        answers += watch.feed(shape.bytes(at, 1000), clock.elapsed()).size();
    const double ns = double(clock.nsecsElapsed()) / double(kBytes);
    if (answers != 0)
        std::fprintf(stderr, "unexpected answers: %lld\n", static_cast<long long>(answers));
    return ns;
}

// The CPU of the program's main thread over the stretch.
double receivingCpuPercent(Session &session, double seconds)
{
    const double before = threadCpuSeconds();
    session.startStream(seconds);
    const qint64 count = qint64(kMegabaud * seconds);
    spinUntil([&] { return session.pty.written() >= count; }, int(seconds * 1000) + 10000);
    const bool exact = session.stopStream();
    const double cpu = threadCpuSeconds() - before;
    if (!exact)
        std::fprintf(stderr, "the received log lost or changed bytes\n");
    return 100 * cpu / seconds;
}

void matchingFigures(Session &session, double seconds, int rounds)
{
    const double ns = matchingNsPerByte(session.shape);
    std::printf("matching, ten rules, text lines: %.2f ns a byte, %.3f %% of a core at 1 Mbaud\n",
        ns, ns * kMegabaud / 1e7);
    std::vector<double> without, with;
    const QList<RoutinesSettings::Rule> ten = rulesOf(tenRulesFile(false));
    for (int round = 0; round < rounds; ++round) {
        session.routines().setRules({});
        without.push_back(receivingCpuPercent(session, seconds));
        session.routines().setRules(ten);
        with.push_back(receivingCpuPercent(session, seconds));
        std::printf("  round %d: receiving 1 Mbaud, both views: %.2f %% of a core without rules, "
                    "%.2f %% with ten\n",
            round + 1, without.back(), with.back());
    }
    const double a = percentile(without, 50), b = percentile(with, 50);
    std::printf("receiving 1 Mbaud, medians of %d rounds of %.0f s: %.2f %% without rules, %.2f %% "
                "with ten (%+.1f %%); the watch's own share by the figure above: %.1f %% of the "
                "receive path\n",
        rounds, seconds, a, b, 100 * (b - a) / a, 100 * (ns * kMegabaud / 1e7) / a);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("sends"), QStringLiteral("Sends of the repeat."),
        QStringLiteral("n"), QStringLiteral("10000") });
    parser.addOption({ QStringLiteral("probes"), QStringLiteral("Matches to answer."),
        QStringLiteral("n"), QStringLiteral("1000") });
    parser.addOption({ QStringLiteral("seconds"),
        QStringLiteral("Length of each receiving stretch for the cost of matching."),
        QStringLiteral("s"), QStringLiteral("20") });
    parser.addOption(
        { QStringLiteral("rounds"), QStringLiteral("Stretches with and without rules, in turn."),
            QStringLiteral("n"), QStringLiteral("5") });
    parser.addOption({ QStringLiteral("part"), QStringLiteral("repeat, answer, match or all."),
        QStringLiteral("part"), QStringLiteral("all") });
    parser.process(app);
    const QString part = parser.value(QStringLiteral("part"));
    const bool all = part == QLatin1String("all");

    Session session;
    if (!session.pty.isOpen() || !session.open()) {
        std::fprintf(stderr, "cannot open the pty or connect\n");
        return 1;
    }
    FarEndListener ear(session.pty.masterFd());
    spin(100);
    std::printf("bench_routines: Qt %s, platform %s, the listener %s\n", qVersion(),
        qPrintable(QApplication::platformName()),
        ear.isRealTime() ? "at real-time priority" : "at normal priority");
    if (all || part == QLatin1String("repeat")) {
        const int sends = parser.value(QStringLiteral("sends")).toInt();
        repeatFigures(session, ear, std::min(sends, 1000), 10, false);
        repeatFigures(session, ear, sends, 10, true);
        repeatFigures(session, ear, std::min(sends, 3000), 10, true, false);
        session.window().empfang().show();
    }
    if (all || part == QLatin1String("answer")) {
        const int probes = parser.value(QStringLiteral("probes")).toInt();
        answerFigures(session, ear, probes, false);
        answerFigures(session, ear, probes, true);
    }
    if (all || part == QLatin1String("match"))
        matchingFigures(session, parser.value(QStringLiteral("seconds")).toDouble(),
            parser.value(QStringLiteral("rounds")).toInt());
    std::fflush(stdout);
    return 0;
}
