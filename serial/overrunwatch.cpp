#include "overrunwatch.h"

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

std::optional<SerialErrorCounts> OverrunWatch::readCounts(int fd)
{
#ifdef Q_OS_LINUX
    struct serial_icounter_struct counts = {};
    if (fd >= 0 && ::ioctl(fd, TIOCGICOUNT, &counts) == 0)
        return SerialErrorCounts { quint32(counts.overrun), quint32(counts.buf_overrun) };
#else
    Q_UNUSED(fd);
#endif
    return std::nullopt;
}

bool OverrunWatch::update(std::optional<SerialErrorCounts> counts)
{
    if (!m_last)
        return false;
    if (!counts) {
        stop();
        return false;
    }
    const bool grew = *counts != *m_last;
    m_last = counts;
    return grew;
}
