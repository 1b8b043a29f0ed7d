#include "capturefile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

CaptureFile::CaptureFile(QString path)
    : m_path(std::move(path))
{
}

CaptureFile::~CaptureFile()
{
    close();
}

bool CaptureFile::open()
{
    close();
    m_written = 0;
    m_fd = ::open(
        QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return m_fd >= 0 || fail(errno);
}

bool CaptureFile::append(QByteArrayView bytes)
{
    if (m_fd < 0)
        return fail(EBADF);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        done += n;
        m_written += n;
    }
    // The data alone, not the file's times: what a power cut must not take.
    if (!bytes.isEmpty() && ::fdatasync(m_fd) != 0)
        return fail(errno);
    return true;
}

void CaptureFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool CaptureFile::fail(int error)
{
    m_reason = QString::fromLocal8Bit(std::strerror(error));
    return false;
}
