#include "outputqueue.h"

#include <algorithm>

void OutputQueue::append(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_pieces.push_back(bytes);
    m_size += bytes.size();
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
    const QByteArray &piece = m_pieces.front();
    const qint64 count = std::min<qint64>(maxSize, piece.size() - m_frontOffset);
    return QByteArrayView(piece.constData() + m_frontOffset, count);
}

void OutputQueue::consume(qint64 count)
{
    while (count > 0 && !m_pieces.empty()) {
        const qint64 left = m_pieces.front().size() - m_frontOffset;
        const qint64 taken = std::min(count, left);
        m_frontOffset += taken;
        m_size -= taken;
        count -= taken;
        if (m_frontOffset == m_pieces.front().size()) {
            m_pieces.pop_front();
            m_frontOffset = 0;
        }
    }
}
