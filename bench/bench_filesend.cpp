// How long handing a large file to the port takes, and what it costs in
// memory, through a real pseudo-terminal whose far end a second thread drains
// as fast as it can.
//
//   bench_filesend [megabytes]        (default 100)
//
// Prints the time to read the file whole, the time Output takes to accept it,
// the time until the last byte has reached the far end, and the resident size
// (from /proc/self/statm) at each step and at its peak. For comparison it also
// times QSerialPort::write taking the same bytes directly, and how long the
// line then needs: the queue in front of it must not slow the line down.

#include "files/sendfilereader.h"
#include "serial/mscomm.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().simplified().split(' ');
    return double(fields.value(1).toLongLong()) * double(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// The kernel's high-water mark of the resident size, for the peak.
double peakResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return double(line.simplified().split(' ').value(1).toLongLong()) / 1024;
    }
    return -1;
}

// FNV-1a, so that the far end can check what arrived without holding a
// second copy of the file that would count against the program's memory.
quint64 fnv1a(quint64 hash, const char *data, qint64 size)
{
    for (qint64 i = 0; i < size; ++i) {
        hash ^= quint8(data[i]);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}
constexpr quint64 kFnvStart = 0xcbf29ce484222325ULL;

// The master end of a raw pty, drained by its own thread, which counts what
// arrives and hashes it.
class DrainedPty
{
public:
    DrainedPty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        termios raw = {};
        ::tcgetattr(m_master, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_master, TCSANOW, &raw);
        m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
        m_thread = QThread::create([this] { drain(); });
        m_thread->start();
    }
    ~DrainedPty()
    {
        m_stop = true;
        if (m_thread) {
            m_thread->wait();
            delete m_thread;
        }
        if (m_master >= 0)
            ::close(m_master);
    }

    QString slavePath() const { return m_slavePath; }
    qint64 received() const { return m_received; }
    // Only meaningful once everything has arrived.
    quint64 hash() const { return m_hash; }

private:
    void drain()
    {
        static char buffer[1 << 16];
        while (!m_stop) {
            pollfd fd = { m_master, POLLIN, 0 };
            if (::poll(&fd, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            m_hash = fnv1a(m_hash, buffer, n);
            m_received += n;
        }
    }

    int m_master = -1;
    QString m_slavePath;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_stop = false;
    std::atomic<qint64> m_received = 0;
    std::atomic<quint64> m_hash = kFnvStart;
};

QByteArray randomBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    for (qint64 i = size / 4 * 4; i < size; ++i)
        bytes[i] = char(generator.bounded(256));
    return bytes;
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

int runMSComm(const QString &path, qint64 size)
{
    const double before = residentMiB();
    QElapsedTimer timer;
    timer.start();
    SendFileReader::Loaded file = SendFileReader::load(path);
    const qint64 readMs = timer.elapsed();
    if (!file.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(file.error));
        return 1;
    }
    const double afterRead = residentMiB();
    const quint64 expectedHash = fnv1a(kFnvStart, file.bytes.constData(), file.bytes.size());

    DrainedPty pty;
    qputenv("TAVEL_COM1", QFile::encodeName(pty.slavePath()));
    MSComm comm;
    if (comm.setCommPort(1) || comm.setPortOpen(true)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(pty.slavePath()));
        return 1;
    }

    QElapsedTimer handOver;
    handOver.start();
    (void)comm.Output(file.bytes);
    const qint64 handOverUs = handOver.nsecsElapsed() / 1000;
    // The command lets go of its copy as it returns; the port's queue keeps it.
    file = {};
    const double afterHandOver = residentMiB();

    const bool drained = waitUntil([&] { return pty.received() >= size; }, 600000);
    const qint64 drainMs = handOver.elapsed();
    const double afterDrain = residentMiB();
    const bool intact = drained && pty.received() == size && pty.hash() == expectedHash;

    std::printf("file size                 %lld bytes\n", static_cast<long long>(size));
    std::printf("read whole                %lld ms\n", static_cast<long long>(readMs));
    std::printf("Output (hand-over)        %.3f ms\n", double(handOverUs) / 1000);
    std::printf("until far end has all     %lld ms (%.0f MB/s)%s\n",
        static_cast<long long>(drainMs), double(size) / 1e3 / double(qMax(drainMs, 1LL)),
        intact ? "" : "  INCOMPLETE OR CHANGED");
    std::printf("resident before           %.1f MiB\n", before);
    std::printf("resident after read       %.1f MiB\n", afterRead);
    std::printf("resident after hand-over  %.1f MiB\n", afterHandOver);
    std::printf("resident after drain      %.1f MiB\n", afterDrain);
    std::printf("resident peak             %.1f MiB\n", peakResidentMiB());
    return intact ? 0 : 1;
}

// The same bytes given to QSerialPort directly, which copies them into its
// own buffer: what Output would cost without its queue.
void runDirect(qint64 size)
{
    const QByteArray bytes = randomBytes(size);
    DrainedPty pty;
    QSerialPort port(pty.slavePath());
    if (!port.open(QIODevice::ReadWrite))
        return;
    const double before = residentMiB();
    QElapsedTimer timer;
    timer.start();
    port.write(bytes);
    const qint64 writeUs = timer.nsecsElapsed() / 1000;
    const double after = residentMiB();
    waitUntil([&] { return pty.received() >= size; }, 600000);
    const qint64 drainMs = timer.elapsed();
    std::printf("QSerialPort::write direct %.3f ms, resident %.1f -> %.1f MiB, far end has all "
                "after %lld ms\n",
        double(writeUs) / 1000, before, after, static_cast<long long>(drainMs));
    port.close();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 100;
    const qint64 size = megabytes * 1000 * 1000;

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("send.bin"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(randomBytes(size)) != size) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const int result = runMSComm(path, size);
    runDirect(size);
    return result;
}
