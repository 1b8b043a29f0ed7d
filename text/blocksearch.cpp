#include "blocksearch.h"

#include "anchorscan.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The bytes a terminal's traffic holds most, most common first: the blank,
// line ends, the 00 and FF of binary data and of idle lines, lower-case
// letters by their frequency in German and English text, digits, the
// punctuation of data records, then capitals. Any other byte counts as rare.
// Only the speed depends on this order, never what is found.
constexpr std::string_view kCommonFirst("\x20\n\r\x00\xff"
                                        "enirstaodhulcmgpbfwkvzyjxq"
                                        "0123456789.,:;=-_/\t"
                                        "ENIRSTAODHULCMGPBFWKVZYJXQ",
    5 + 26 + 19 + 26);

int commonness(unsigned char byte)
{
    const size_t at = kCommonFirst.find(char(byte));
    return at == std::string_view::npos ? 0 : int(kCommonFirst.size() - at);
}

// A letter in both cases is looked for twice: its cost is both bytes'.
int anchorCost(const BytePattern::Element &element)
{
    const int cost = commonness(element.value);
    return element.alternative == element.value ? cost : cost + commonness(element.alternative) + 1;
}

using ByteCounts = std::array<qsizetype, 256>;

ByteCounts countBytes(QByteArrayView bytes)
{
    ByteCounts counts {};
    for (char byte : bytes)
        ++counts[static_cast<unsigned char>(byte)];
    return counts;
}

qsizetype occurrences(const ByteCounts &counts, const BytePattern::Element &element)
{
    return counts[element.value]
        + (element.alternative == element.value ? 0 : counts[element.alternative]);
}

// The fixed position whose bytes are least common: by their counts in a
// sample of the bytes searched, and between equals by the ranking above.
qsizetype chooseAnchor(const BytePattern &pattern, const ByteCounts &counts = {})
{
    qsizetype best = -1;
    std::pair<qsizetype, int> bestCost;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const BytePattern::Element &element = pattern.elements()[size_t(i)];
        if (element.any)
            continue;
        const std::pair<qsizetype, int> cost { occurrences(counts, element), anchorCost(element) };
        if (best < 0 || cost < bestCost) {
            best = i;
            bestCost = cost;
        }
    }
    return best;
}

// When the anchor's byte turns out to be common in the bytes searched (a
// search for 00 00 00 0A in an idle line's zeros), each candidate costs a
// memchr call and a comparison, some 10 to 15 ns, where memchr alone passes
// a byte in a twentieth of a nanosecond. After every window of candidates
// the scan checks how densely they came. When a candidate came every few
// hundred bytes or more often, it counts the last kilobyte it passed and
// moves the anchor to the fixed position whose bytes were rarest there, if
// they were at most half as many (equally common anchors would take turns
// forever). When no position is rarer and a candidate comes every few bytes,
// shift-or at about 1 ns a byte is faster. Short of that it checks less and
// less often, so that a pattern of common bytes costs little more than
// without the checks.
constexpr qsizetype kFirstWindow = 64;
constexpr qsizetype kLastWindow = 64 * 1024;
constexpr qsizetype kDenseGap = 256;
constexpr qsizetype kSampleBytes = 1024;
constexpr qsizetype kShiftOrGap = 16;

} // namespace

BlockSearch::BlockSearch(BytePattern pattern)
    : m_pattern(std::move(pattern))
    , m_anchor(chooseAnchor(m_pattern))
{
    if (m_anchor >= 0 && m_pattern.size() <= ShiftOrScan::kMaxSize)
        m_shiftOr.emplace(m_pattern);
}

qsizetype BlockSearch::find(QByteArrayView block, qsizetype from) const
{
    from = std::max<qsizetype>(from, 0);
    const qsizetype lastStart = block.size() - m_pattern.size();
    if (m_anchor < 0 || from > lastStart)
        return -1;
    return scan(block, from, lastStart, ScanDirection::Forward);
}

qsizetype BlockSearch::findLast(QByteArrayView block, qsizetype before) const
{
    before = std::min(before, block.size() - m_pattern.size() + 1);
    if (m_anchor < 0 || before <= 0)
        return -1;
    return scan(block, 0, before - 1, ScanDirection::Backward);
}

qsizetype BlockSearch::scan(
    QByteArrayView block, qsizetype firstStart, qsizetype lastStart, ScanDirection direction) const
{
    const bool forward = direction == ScanDirection::Forward;
    qsizetype anchor = m_anchor;
    qsizetype window = kFirstWindow;
    for (;;) {
        AnchorScan candidates(m_pattern.elements()[size_t(anchor)],
            block.data() + firstStart + anchor, block.data() + lastStart + anchor + 1, direction);
        qsizetype windowFrom = forward ? firstStart : lastStart;
        qsizetype inWindow = 0;
        bool moved = false;
        while (const char *at = candidates.next()) {
            const qsizetype start = at - block.data() - anchor;
            if (m_pattern.matchesAt(block, start))
                return start;
            if (++inWindow < window)
                continue;
            const qsizetype passed = std::min(start, windowFrom);
            const qsizetype covered = std::max(start, windowFrom) - passed + 1;
            if (covered < inWindow * kDenseGap) {
                const qsizetype sampled = std::min(covered, kSampleBytes);
                const ByteCounts counts = countBytes(block.sliced(
                    forward ? start - sampled + 1 : start, sampled + m_pattern.size() - 1));
                const qsizetype rarer = chooseAnchor(m_pattern, counts);
                if (occurrences(counts, m_pattern.elements()[size_t(rarer)]) * 2
                    < occurrences(counts, m_pattern.elements()[size_t(anchor)])) {
                    anchor = rarer;
                    if (forward)
                        firstStart = start + 1;
                    else
                        lastStart = start - 1;
                    moved = true;
                    break;
                }
                if (m_shiftOr && covered < inWindow * kShiftOrGap) {
                    return forward ? m_shiftOr->find(block, start + 1, lastStart, direction)
                                   : m_shiftOr->find(block, firstStart, start - 1, direction);
                }
                window = std::min(window * 2, kLastWindow);
            }
            windowFrom = start;
            inWindow = 0;
        }
        if (!moved)
            return -1;
    }
}
