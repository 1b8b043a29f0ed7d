#include "ptystream.h"

#include "rawpty.h"
#include "traffic/trafficlog.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr int kPollMs = 100;
// A paced writer this far behind its pace gives up.
constexpr double kGiveUpSeconds = 5;

double threadCpuSeconds()
{
    struct timespec now = {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

PtyStream::PtyStream()
{
    RawPty pty;
    if (!openRawPty(pty)) {
        m_error = qt_error_string(errno);
        return;
    }
    m_master = pty.master;
    m_slave = pty.slave;
    m_slavePath = QString::fromStdString(pty.slavePath);
}

PtyStream::~PtyStream()
{
    m_stop = true;
    finish();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

void PtyStream::setPace(double bytesPerSecond, int writesPerSecond)
{
    m_bytesPerSecond = bytesPerSecond;
    m_writesPerSecond = std::max(1, writesPerSecond);
}

void PtyStream::start(const StreamShape &shape, qint64 from, qint64 count)
{
    finish();
    m_written = 0;
    m_failed = false;
    m_stop = false;
    m_maxBacklog = 0;
    m_writer = std::thread([this, &shape, from, count] {
        const double cpuBefore = threadCpuSeconds();
        if (m_bytesPerSecond > 0)
            writePaced(shape, from, count);
        else
            write(shape, from, count);
        m_cpuSeconds = threadCpuSeconds() - cpuBefore;
    });
}

void PtyStream::finish()
{
    if (m_writer.joinable())
        m_writer.join();
}

void PtyStream::stop()
{
    m_stop = true;
    finish();
}

void PtyStream::write(const StreamShape &shape, qint64 from, qint64 count)
{
    qint64 done = 0;
    while (done < count && !m_stop) {
        if (!writeSome(shape, from, count, &done)) {
            m_failed = true;
            break;
        }
        if (done == count)
            break;
        // Full: wait until the reader has taken some. The timeout only lets
        // a stop request through.
        struct pollfd fd = { m_master, POLLOUT, 0 };
        ::poll(&fd, 1, kPollMs);
    }
}

void PtyStream::writePaced(const StreamShape &shape, qint64 from, qint64 count)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto period = std::chrono::nanoseconds(1'000'000'000 / m_writesPerSecond);
    qint64 done = 0;
    for (qint64 tick = 1; done < count && !m_stop; ++tick) {
        std::this_thread::sleep_until(start + tick * period);
        // Due by this tick, counted from the start so that rounding never adds up.
        const auto due = qint64(m_bytesPerSecond * double(tick) / m_writesPerSecond);
        const qint64 target = std::min(count, due);
        // A full pty leaves the rest for the next tick, as a UART's FIFO
        // would hold it.
        if (!writeSome(shape, from, target, &done)) {
            m_failed = true;
            break;
        }
        m_maxBacklog = std::max(m_maxBacklog, target - done);
        // A reader that has stopped taking (it ended, or hangs) would keep
        // a full pty full forever.
        if (double(target - done) > m_bytesPerSecond * kGiveUpSeconds) {
            m_failed = true;
            break;
        }
    }
}

bool PtyStream::writeSome(const StreamShape &shape, qint64 from, qint64 count, qint64 *done)
{
    while (*done < count) {
        const QByteArrayView chunk = shape.bytes(from + *done, std::min(kChunk, count - *done));
        const ssize_t n = ::write(m_master, chunk.data(), size_t(chunk.size()));
        if (n > 0) {
            *done += n;
            m_written.store(*done, std::memory_order_relaxed);
            continue;
        }
        return n == 0 || errno == EAGAIN || errno == EINTR;
    }
    return true;
}

bool logHoldsTheStream(const TrafficLog &log, const StreamShape &shape, qint64 total)
{
    if (log.size() != total)
        return false;
    constexpr qint64 kPiece = 64 * 1024;
    for (qint64 from = 0; from < total; from += kPiece) {
        const qint64 count = std::min(kPiece, total - from);
        if (log.bytes(from, count) != shape.bytes(from, count))
            return false;
    }
    return true;
}
