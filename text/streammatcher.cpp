#include "streammatcher.h"

#include <algorithm>

namespace {

constexpr size_t kBitsPerWord = 64;

} // namespace

StreamMatcher::StreamMatcher(const BytePattern &pattern)
    : m_size(pattern.size())
    , m_words((size_t(pattern.size()) + kBitsPerWord - 1) / kBitsPerWord)
    , m_rejecting(256 * m_words, ~quint64(0))
    , m_failed(m_words, ~quint64(0))
{
    for (size_t position = 0; position < size_t(m_size); ++position) {
        const quint64 bit = quint64(1) << (position % kBitsPerWord);
        for (int byte = 0; byte < 256; ++byte) {
            if (pattern.matches(qsizetype(position), static_cast<unsigned char>(byte)))
                m_rejecting[size_t(byte) * m_words + position / kBitsPerWord] &= ~bit;
        }
    }
}

void StreamMatcher::feed(QByteArrayView piece, const std::function<void(qint64)> &onMatch)
{
    if (m_words == 1)
        feedOneWord(piece, onMatch);
    else if (m_words > 1)
        feedManyWords(piece, onMatch);
    m_offset += piece.size();
}

void StreamMatcher::reset()
{
    std::fill(m_failed.begin(), m_failed.end(), ~quint64(0));
    m_offset = 0;
}

// Patterns of up to 64 positions, which are nearly all: the state stays in a
// register. The shift brings in a clear bit at position 0: a match may begin
// at every byte.
void StreamMatcher::feedOneWord(QByteArrayView piece, const std::function<void(qint64)> &onMatch)
{
    const quint64 complete = quint64(1) << (m_size - 1);
    quint64 failed = m_failed[0];
    for (qsizetype i = 0; i < piece.size(); ++i) {
        failed = (failed << 1) | m_rejecting[static_cast<unsigned char>(piece[i])];
        if (!(failed & complete))
            onMatch(m_offset + i);
    }
    m_failed[0] = failed;
}

void StreamMatcher::feedManyWords(QByteArrayView piece, const std::function<void(qint64)> &onMatch)
{
    const quint64 complete = quint64(1) << ((m_size - 1) % kBitsPerWord);
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const quint64 *rejecting
            = &m_rejecting[size_t(static_cast<unsigned char>(piece[i])) * m_words];
        // Each word shifts its top bit into the next word's bottom.
        quint64 carry = 0;
        for (size_t w = 0; w < m_words; ++w) {
            const quint64 top = m_failed[w] >> (kBitsPerWord - 1);
            m_failed[w] = (m_failed[w] << 1) | carry | rejecting[w];
            carry = top;
        }
        if (!(m_failed[m_words - 1] & complete))
            onMatch(m_offset + i);
    }
}
