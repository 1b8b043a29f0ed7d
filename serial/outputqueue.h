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
//
// Positions count every byte taken since the queue was made, so a caller can
// tell how far its own piece has got: a piece that starts at position p has
// had taken() - p of its bytes passed on. Dropping a piece moves the pieces
// behind it forward, as if it had never been queued.
class OutputQueue
{
public:
    // Returns the position of the piece's first byte.
    qint64 append(const QByteArray &bytes);
    void clear();

    bool isEmpty() const { return m_size == 0; }
    // 64 bits wide: a file above 2 GiB is one piece like any other.
    qint64 size() const { return m_size; }
    // Bytes taken from the front so far, and the position after the last one queued.
    qint64 taken() const { return m_taken; }
    qint64 end() const { return m_taken + m_size; }

    // The next bytes in order, at most maxSize of them and never across the
    // end of a piece; valid until the queue is changed.
    QByteArrayView front(qint64 maxSize) const;
    // Drops count bytes from the front, count at most what front() offered.
    void consume(qint64 count);
    // Drops what is left of the piece that started at the given position;
    // returns how many bytes went. Pieces queued behind it keep their order.
    qint64 dropPiece(qint64 start);

private:
    struct Piece
    {
        QByteArray bytes;
        qint64 start = 0;
    };

    std::deque<Piece> m_pieces;
    // How much of the first piece has been taken already.
    qint64 m_frontOffset = 0;
    qint64 m_size = 0;
    qint64 m_taken = 0;
};
