#include "serialwriter.h"

#include "telnetcomport.h"

#include <QSocketNotifier>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// One write call takes at most this much; a driver takes far less at a time
// anyway, and the size keeps a single call short.
constexpr qint64 kWriteSlice = 256 * 1024;
// What one wake-up passes on at most before the event loop gets its turn
// again, so that a fast device cannot starve the windows.
constexpr qint64 kWriteBudget = 4 * 1024 * 1024;
// Data escaped for Telnet is staged this much at a time: what is staged can
// no longer be taken back, so it is kept to what a socket takes at once.
constexpr qint64 kEscapeSlice = 16 * 1024;

} // namespace

SerialWriter::SerialWriter(QObject *parent)
    : QObject(parent)
{
}

SerialWriter::~SerialWriter()
{
    detach();
}

void SerialWriter::attach(int fd, Wire wire)
{
    detach();
    m_fd = fd;
    m_wire = wire;
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
    m_staged.clear();
    m_stagedWritten = 0;
}

qint64 SerialWriter::enqueue(const QByteArray &bytes)
{
    const bool idle = m_queue.isEmpty() && staged() == 0;
    const qint64 start = m_queue.append(bytes);
    // A line with nothing waiting takes the bytes at once: waiting for the
    // event loop's next pass would put whatever else is due in this one (a
    // frame of the windows, a read) between a command and the wire.
    if (idle && m_fd >= 0 && !m_held && m_wire != Wire::TelnetSocket)
        writeAtOnce();
    updateNotifier();
    return start;
}

void SerialWriter::writeAtOnce()
{
    const QByteArrayView slice = m_queue.front(kWriteSlice);
    const ssize_t written = writeOnce(slice.data(), slice.size());
    // A full driver or an error is the notifier's to handle, as before.
    if (written <= 0)
        return;
    m_queue.consume(written);
    // Told from the event loop, as the notifier's progress is: the caller is
    // in the middle of its own work.
    QMetaObject::invokeMethod(
        this, [this] { Q_EMIT bytesPassedOn(m_queue.taken()); }, Qt::QueuedConnection);
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
    m_staged.clear();
    m_stagedWritten = 0;
    updateNotifier();
}

void SerialWriter::setHeld(bool held)
{
    m_held = held;
    updateNotifier();
}

void SerialWriter::sendControl(const QByteArray &bytes)
{
    if (m_fd < 0)
        return;
    m_staged += bytes;
    updateNotifier();
}

void SerialWriter::updateNotifier()
{
    // A descriptor with room reports itself writable on every pass of the
    // event loop; listening only while bytes wait keeps an idle port silent.
    if (m_notifier)
        m_notifier->setEnabled(staged() > 0 || (!m_queue.isEmpty() && !m_held));
}

ssize_t SerialWriter::writeOnce(const char *data, qint64 size)
{
    // A socket whose peer has gone would raise SIGPIPE on write and end the
    // program; the error is wanted instead.
    if (m_wire == Wire::Device)
        return ::write(m_fd, data, size_t(size));
    return ::send(m_fd, data, size_t(size), MSG_NOSIGNAL);
}

bool SerialWriter::writeStaged(int &error)
{
    while (staged() > 0) {
        const ssize_t written
            = writeOnce(m_staged.constData() + m_stagedWritten, m_staged.size() - m_stagedWritten);
        if (written > 0) {
            m_stagedWritten += written;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            error = errno;
        return false;
    }
    m_staged.clear();
    m_stagedWritten = 0;
    return true;
}

void SerialWriter::onWritable()
{
    const qint64 before = m_queue.taken();
    int error = 0;
    while (writeStaged(error) && !m_queue.isEmpty() && !m_held
        && m_queue.taken() - before < kWriteBudget) {
        if (m_wire == Wire::TelnetSocket) {
            const QByteArrayView slice = m_queue.front(kEscapeSlice);
            m_staged = TelnetComPort::escape(slice);
            m_queue.consume(slice.size());
            continue;
        }
        const QByteArrayView slice = m_queue.front(kWriteSlice);
        const ssize_t written = writeOnce(slice.data(), slice.size());
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
