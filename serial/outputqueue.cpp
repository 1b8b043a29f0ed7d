#include "outputqueue.h"

#include <algorithm>

qint64 OutputQueue::append(const QByteArray &bytes)
{
    const qint64 start = end();
    if (!bytes.isEmpty()) {
        m_pieces.push_back({ bytes, start });
        m_size += bytes.size();
    }
    return start;
}

void OutputQueue::clear()
{
    m_pieces.clear();
    m_frontOffset = 0;
    m_size = 0;
}

QByteArrayView OutputQueue::front(qint64 maxSize) const
{
    if (m_pieces.empty() || maxSize <= 0)
        return {};
    const QByteArray &piece = m_pieces.front().bytes;
    const qint64 count = std::min<qint64>(maxSize, piece.size() - m_frontOffset);
    return QByteArrayView(piece.constData() + m_frontOffset, count);
}

void OutputQueue::consume(qint64 count)
{
    while (count > 0 && !m_pieces.empty()) {
        const qint64 left = m_pieces.front().bytes.size() - m_frontOffset;
        const qint64 taken = std::min(count, left);
        m_frontOffset += taken;
        m_size -= taken;
        m_taken += taken;
        count -= taken;
        if (m_frontOffset == m_pieces.front().bytes.size()) {
            m_pieces.pop_front();
            m_frontOffset = 0;
        }
    }
}

qint64 OutputQueue::dropPiece(qint64 start)
{
    const auto piece = std::find_if(
        m_pieces.begin(), m_pieces.end(), [start](const Piece &p) { return p.start == start; });
    if (piece == m_pieces.end())
        return 0;
    const bool isFront = piece == m_pieces.begin();
    const qint64 dropped = piece->bytes.size() - (isFront ? m_frontOffset : 0);
    for (auto later = std::next(piece); later != m_pieces.end(); ++later)
        later->start -= piece->bytes.size();
    if (isFront) {
        // The part already taken stays counted; the next piece continues from here.
        for (auto later = std::next(piece); later != m_pieces.end(); ++later)
            later->start += m_frontOffset;
        m_frontOffset = 0;
    }
    m_pieces.erase(piece);
    m_size -= dropped;
    return dropped;
}
