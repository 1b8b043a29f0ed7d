#include "capturefile.h"

#include "systemerror.h"

#include <QFile>
#include <cerrno>
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
    m_fd = ::open(
        QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return fail(errno);
    m_written = 0;
    m_toSync = 0;
    m_closing = false;
    m_synced = 0;
    m_syncError = 0;
    m_syncer = std::thread([this] { syncWhileWritten(); });
    return true;
}

bool CaptureFile::append(QByteArrayView bytes)
{
    if (m_fd < 0)
        return fail(EBADF);
    if (const int error = m_syncError.load())
        return fail(error);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        done += n;
        m_written += n;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_toSync = m_written;
    }
    m_wake.notify_one();
    return true;
}

void CaptureFile::close()
{
    if (m_fd < 0)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_one();
    m_syncer.join();
    ::close(m_fd);
    m_fd = -1;
}

bool CaptureFile::fail(int error)
{
    m_reason = SystemError::reason(error);
    return false;
}

void CaptureFile::syncWhileWritten()
{
    qint64 synced = 0;
    for (;;) {
        qint64 target = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_toSync > synced || m_closing; });
            if (m_toSync == synced)
                return; // closing, and everything is on the disk
            target = m_toSync;
        }
        // The data alone, not the file's times: what a power cut must not take.
        if (::fdatasync(m_fd) != 0) {
            m_syncError = errno;
            return;
        }
        synced = target;
        m_synced = synced;
    }
}
