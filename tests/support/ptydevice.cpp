#include "ptydevice.h"

#include "rawpty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <cerrno>
#include <limits>
#include <poll.h>
#include <unistd.h>

bool PtyDevice::reopen()
{
    close();
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

bool PtyDevice::write(const QByteArray &bytes, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if ((n < 0 && errno != EAGAIN && errno != EINTR)
            || !waitFor(POLLOUT, int(deadline.remainingTime())))
            return false;
    }
    QCoreApplication::processEvents();
    return true;
}

QByteArray PtyDevice::read(qint64 count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray received;
    char buffer[65536];
    while (received.size() < count && m_master >= 0) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, n);
        else if ((n < 0 && errno != EAGAIN && errno != EINTR)
            || !waitFor(POLLIN, int(deadline.remainingTime())))
            break;
    }
    return received;
}

QByteArray PtyDevice::readFor(int waitMs)
{
    return read(std::numeric_limits<qint64>::max(), waitMs);
}

// Waits up to timeoutMs for the master to become readable (POLLIN) or
// writable (POLLOUT), running the event loop meanwhile.
bool PtyDevice::waitFor(short events, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        pollfd fd = { m_master, events, 0 };
        if (::poll(&fd, 1, qMin(5, int(deadline.remainingTime()))) > 0
            && (fd.revents & (events | POLLERR | POLLHUP)))
            return true;
    }
    return false;
}
