#include "patternsetmatcher.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {

constexpr int kBitsPerWord = 64;

} // namespace

PatternSetMatcher::PatternSetMatcher(const std::vector<BytePattern> &patterns)
{
    int used = kBitsPerWord;
    for (int index = 0; index < int(patterns.size()); ++index) {
        const BytePattern &pattern = patterns[size_t(index)];
        const int size = int(pattern.size());
        if (size == 0)
            continue;
        if (size > kBitsPerWord) {
            m_long.push_back({ index, StreamMatcher(pattern) });
            continue;
        }
        if (used + size > kBitsPerWord) {
            m_words.emplace_back();
            m_words.back().rejecting.fill(~quint64(0));
            used = 0;
        }
        Word &word = m_words.back();
        for (int position = 0; position < size; ++position) {
            const quint64 bit = quint64(1) << (used + position);
            for (int byte = 0; byte < 256; ++byte) {
                if (pattern.matches(position, static_cast<unsigned char>(byte)))
                    word.rejecting[size_t(byte)] &= ~bit;
            }
        }
        word.starts |= quint64(1) << used;
        word.ends |= quint64(1) << (used + size - 1);
        word.patternEndingAt[size_t(used + size - 1)] = index;
        used += size;
    }
}

PatternSetMatcher::~PatternSetMatcher() = default;

void PatternSetMatcher::feed(QByteArrayView piece, const std::function<void(int, qint64)> &onMatch)
{
    // The long patterns' matches, merged into the words' in stream order.
    std::vector<std::pair<qint64, int>> longMatches;
    for (Long &each : m_long) {
        each.matcher.feed(piece, [&](qint64 end) { longMatches.emplace_back(end, each.pattern); });
    }
    std::sort(longMatches.begin(), longMatches.end());
    auto nextLong = longMatches.begin();
    std::vector<std::pair<qint64, int>> atOneByte;

    for (qsizetype i = 0; i < piece.size(); ++i) {
        const auto byte = static_cast<unsigned char>(piece[i]);
        const qint64 end = m_offset + i;
        for (Word &word : m_words) {
            // The shift moves each pattern's last bit onto the next one's
            // first, which is cleared: a match may begin at every byte.
            word.failed = ((word.failed << 1) & ~word.starts) | word.rejecting[byte];
            quint64 hits = ~word.failed & word.ends;
            while (hits != 0) {
                atOneByte.emplace_back(end, word.patternEndingAt[size_t(std::countr_zero(hits))]);
                hits &= hits - 1;
            }
        }
        if (atOneByte.empty() && (nextLong == longMatches.end() || nextLong->first != end))
            continue;
        for (; nextLong != longMatches.end() && nextLong->first == end; ++nextLong)
            atOneByte.push_back(*nextLong);
        std::sort(atOneByte.begin(), atOneByte.end());
        for (const auto &[at, pattern] : atOneByte)
            onMatch(pattern, at);
        atOneByte.clear();
    }
    m_offset += piece.size();
}

void PatternSetMatcher::reset()
{
    for (Word &word : m_words)
        word.failed = ~quint64(0);
    for (Long &each : m_long)
        each.matcher.reset();
    m_offset = 0;
}
