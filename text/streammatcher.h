#pragma once

#include "bytepattern.h"

#include <QByteArrayView>
#include <functional>
#include <vector>

// Watches a stream of bytes that arrives in pieces, such as what the port
// receives, for a pattern: every match is reported once, also when it runs
// over several pieces and when matches overlap ("AAA" twice in "AAAA").
//
// It keeps no bytes: one bit per pattern position says whether the stream's
// last bytes fail to match the pattern up to that position (the shift-or
// method), so its state between pieces is size() bits however long the
// stream, and each byte costs a shift and an OR per 64 positions of the
// pattern.
class StreamMatcher
{
public:
    explicit StreamMatcher(const BytePattern &pattern);

    // Reads the next piece and calls onMatch for every match that ends in
    // it, in stream order, with the stream offset of the match's last byte
    // (the match starts at end - size() + 1; the first byte fed is offset 0).
    // onMatch must not feed or reset this matcher.
    void feed(QByteArrayView piece, const std::function<void(qint64 end)> &onMatch);
    // Forgets the stream: no match spans a reset, and offsets start again at 0.
    void reset();

    qsizetype size() const { return m_size; }
    // How many bytes were fed since the start or the last reset.
    qint64 offset() const { return m_offset; }

private:
    void feedOneWord(QByteArrayView piece, const std::function<void(qint64)> &onMatch);
    void feedManyWords(QByteArrayView piece, const std::function<void(qint64)> &onMatch);

    qsizetype m_size = 0;
    size_t m_words = 0;
    // Per byte value, m_words words: bit i is clear when position i accepts that byte.
    std::vector<quint64> m_rejecting;
    // Bit i is clear when the last i + 1 bytes match the pattern's first i + 1 positions.
    std::vector<quint64> m_failed;
    qint64 m_offset = 0;
};
