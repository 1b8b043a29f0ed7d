#pragma once

#include "bytepattern.h"
#include "scandirection.h"

#include <QByteArrayView>
#include <array>

// A search of a block whose pace no byte slows, for bytes in which every
// fixed byte of the pattern is common: one bit per pattern position says
// whether the bytes passed so far fail to match the pattern up to there (the
// shift-or method; StreamMatcher uses it too). Each byte costs a shift and an
// OR, about 1 ns. For patterns of up to 64 positions, which fit in one word;
// backward it takes the pattern's positions in reverse.
class ShiftOrScan
{
public:
    static constexpr qsizetype kMaxSize = 64;

    // For a pattern of 1 to kMaxSize positions.
    explicit ShiftOrScan(const BytePattern &pattern);

    // The first match met, in the direction given, among the matches starting
    // from firstStart to lastStart; -1 when there is none.
    qsizetype find(QByteArrayView block, qsizetype firstStart, qsizetype lastStart,
        ScanDirection direction) const;

private:
    qsizetype m_size;
    // Per byte value: bit i clear when position i (forward) or size - 1 - i
    // (backward) accepts it.
    std::array<quint64, 256> m_forward {};
    std::array<quint64, 256> m_backward {};
};
