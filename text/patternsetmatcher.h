#pragma once

#include "bytepattern.h"
#include "streammatcher.h"

#include <QByteArrayView>
#include <array>
#include <functional>
#include <vector>

// Watches a stream that arrives in pieces for several patterns at once, as
// StreamMatcher does for one: every match is reported once, also across
// pieces and when matches overlap.
//
// Short patterns share 64-bit words of shift-or state, one after the other
// within a word, so that ten patterns of a few bytes cost one shift, one
// table lookup and two masks per byte together instead of ten of each: the
// cost of watching grows with the patterns' total length in words, not with
// their number. A pattern longer than a word has a StreamMatcher of its own.
class PatternSetMatcher
{
public:
    // An empty pattern matches nowhere.
    explicit PatternSetMatcher(const std::vector<BytePattern> &patterns);
    ~PatternSetMatcher();

    // Reads the next piece and calls onMatch for every match that ends in it,
    // with the pattern's index and the stream offset of its last byte, in
    // stream order and, at one offset, in the order of the indexes. onMatch
    // must not feed or reset this matcher.
    void feed(QByteArrayView piece, const std::function<void(int pattern, qint64 end)> &onMatch);
    // Forgets the stream: no match spans a reset, and offsets start again at 0.
    void reset();

private:
    struct Word
    {
        // Per byte value: bit i set when the position at bit i rejects it.
        std::array<quint64, 256> rejecting {};
        // The first and the last position of each pattern in the word.
        quint64 starts = 0;
        quint64 ends = 0;
        // Bit i clear when the stream's last bytes match the pattern at bit
        // i up to that position.
        quint64 failed = ~quint64(0);
        // The pattern that ends at each bit.
        std::array<int, 64> patternEndingAt {};
    };
    struct Long
    {
        int pattern = 0;
        StreamMatcher matcher;
    };

    std::vector<Word> m_words;
    std::vector<Long> m_long;
    qint64 m_offset = 0;
};
