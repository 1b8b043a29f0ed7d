#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <deque>

// Bytes handed to the port and not yet passed on to the driver, in order.
//
// Each hand-over is kept as the QByteArray it came in, shared and not copied,
// so that queuing a whole file costs no time and no second copy of it; the
// port takes it out a slice at a time as the line drains. A piece's memory is
// released as soon as its last byte has been taken.
class OutputQueue
{
public:
    void append(const QByteArray &bytes);
    void clear();

    bool isEmpty() const { return m_size == 0; }
    // 64 bits wide: a file above 2 GiB is one piece like any other.
    qint64 size() const { return m_size; }

    // The next bytes in order, at most maxSize of them and never across the
    // end of a piece; valid until the queue is changed.
    QByteArrayView front(qint64 maxSize) const;
    // Drops count bytes from the front, count at most what front() offered.
    void consume(qint64 count);

private:
    std::deque<QByteArray> m_pieces;
    // How much of the first piece has been taken already.
    qint64 m_frontOffset = 0;
    qint64 m_size = 0;
};
