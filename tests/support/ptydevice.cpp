#include "ptydevice.h"

#include "rawpty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kPollSliceMs = 5;

} // namespace

PtyDevice::PtyDevice()
{
    open();
}

PtyDevice::~PtyDevice()
{
    close();
}

bool PtyDevice::open()
{
    RawPty pty;
    if (!openRawPty(pty)) {
        m_error = qt_error_string(errno);
        return false;
    }
    m_master = pty.master;
    m_slave = pty.slave;
    m_slavePath = QString::fromStdString(pty.slavePath);
    m_error.clear();
    return true;
}

void PtyDevice::close()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
    m_slave = -1;
}

void PtyDevice::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool PtyDevice::reopen()
{
    close();
    return open();
}

bool PtyDevice::write(const QByteArray &bytes, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (deadline.hasExpired() || !waitFor(POLLOUT, int(deadline.remainingTime())))
            return false;
    }
    QCoreApplication::processEvents();
    return true;
}

QByteArray PtyDevice::read(qint64 count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QByteArray received;
    char buffer[65536];
    while (received.size() < count && m_master >= 0) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
        if (deadline.hasExpired() || !waitFor(POLLIN, int(deadline.remainingTime())))
            break;
    }
    return received;
}

QByteArray PtyDevice::readFor(int waitMs)
{
    return read(std::numeric_limits<qint64>::max(), waitMs);
}

bool PtyDevice::waitFor(short events, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        struct pollfd fd = { m_master, events, 0 };
        const int ready = ::poll(&fd, 1, qMin<int>(kPollSliceMs, int(deadline.remainingTime())));
        if (ready > 0 && (fd.revents & (events | POLLERR | POLLHUP)))
            return true;
        if (deadline.hasExpired())
            return false;
    }
}
