#include "serialwriter.h"

#include <QSocketNotifier>
#include <cerrno>
#include <unistd.h>

namespace {

// One write call takes at most this much; a driver takes far less at a time
// anyway, and the size keeps a single call short.
constexpr qint64 kWriteSlice = 256 * 1024;
// What one wake-up passes on at most before the event loop gets its turn
// again, so that a fast device cannot starve the windows.
constexpr qint64 kWriteBudget = 4 * 1024 * 1024;

} // namespace

SerialWriter::SerialWriter(QObject *parent)
    : QObject(parent)
{
}

SerialWriter::~SerialWriter()
{
    detach();
}

void SerialWriter::attach(int fd)
{
    detach();
    m_fd = fd;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Write, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SerialWriter::onWritable);
    updateNotifier();
}

void SerialWriter::detach()
{
    // Possibly called from the notifier's own signal, so it goes later.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
    }
    m_notifier = nullptr;
    m_fd = -1;
}

qint64 SerialWriter::enqueue(const QByteArray &bytes)
{
    const qint64 start = m_queue.append(bytes);
    updateNotifier();
    return start;
}

qint64 SerialWriter::dropPiece(qint64 start)
{
    const qint64 dropped = m_queue.dropPiece(start);
    updateNotifier();
    return dropped;
}

void SerialWriter::clear()
{
    m_queue.clear();
    updateNotifier();
}

void SerialWriter::setHeld(bool held)
{
    m_held = held;
    updateNotifier();
}

void SerialWriter::updateNotifier()
{
    // A descriptor with room reports itself writable on every pass of the
    // event loop; listening only while bytes wait keeps an idle port silent.
    if (m_notifier)
        m_notifier->setEnabled(!m_queue.isEmpty() && !m_held);
}

void SerialWriter::onWritable()
{
    const qint64 before = m_queue.taken();
    int error = 0;
    while (!m_queue.isEmpty() && m_queue.taken() - before < kWriteBudget) {
        const QByteArrayView slice = m_queue.front(kWriteSlice);
        const ssize_t written = ::write(m_fd, slice.data(), size_t(slice.size()));
        if (written > 0) {
            m_queue.consume(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            error = errno;
        break;
    }
    if (error != 0) {
        detach();
    } else {
        updateNotifier();
    }
    if (m_queue.taken() != before)
        Q_EMIT bytesPassedOn(m_queue.taken());
    if (error != 0)
        Q_EMIT failed(error);
}
