#include "ptystream.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr int kPollMs = 100;

bool makeRaw(int fd)
{
    struct termios settings = {};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

double threadCpuSeconds()
{
    struct timespec now = {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

PtyStream::PtyStream()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0
        || ::ptsname_r(m_master, name, sizeof name) != 0) {
        m_error = qt_error_string(errno);
        return;
    }
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0 || !makeRaw(m_master) || !makeRaw(m_slave)) {
        m_error = qt_error_string(errno);
        return;
    }
    m_slavePath = QString::fromLocal8Bit(name);
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
