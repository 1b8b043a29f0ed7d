#include "ptystream.h"

#include "rawpty.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr int kPollMs = 100;

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

void PtyStream::start(const StreamShape &shape, qint64 from, qint64 count)
{
    finish();
    m_written = 0;
    m_failed = false;
    m_stop = false;
    m_writer = std::thread([this, &shape, from, count] { write(shape, from, count); });
}

void PtyStream::finish()
{
    if (m_writer.joinable())
        m_writer.join();
}

void PtyStream::write(const StreamShape &shape, qint64 from, qint64 count)
{
    const double cpuBefore = threadCpuSeconds();
    qint64 done = 0;
    while (done < count && !m_stop) {
        const QByteArrayView chunk = shape.bytes(from + done, std::min(kChunk, count - done));
        const ssize_t n = ::write(m_master, chunk.data(), size_t(chunk.size()));
        if (n > 0) {
            done += n;
            m_written.store(done, std::memory_order_relaxed);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            m_failed = true;
            break;
        }
        // Full: wait until the reader has taken some. The timeout only lets
        // a stop request through.
        struct pollfd fd = { m_master, POLLOUT, 0 };
        ::poll(&fd, 1, kPollMs);
    }
    m_cpuSeconds = threadCpuSeconds() - cpuBefore;
}
