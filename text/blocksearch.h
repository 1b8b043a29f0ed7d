#pragma once

#include "bytepattern.h"
#include "scandirection.h"
#include "shiftorscan.h"

#include <QByteArrayView>
#include <optional>

// Finding a pattern in one contiguous block of bytes, forward and backward,
// for searching the traffic held in the received- and sent-data windows.
//
// The scan looks for one fixed position of the pattern, its anchor, with
// memchr (memrchr backward), which the C library runs many bytes per cycle,
// and compares the whole pattern only where the anchor's byte occurs. The
// anchor is the fixed position whose byte is least common in a terminal's
// traffic, so that the pattern is compared as seldom as possible. Should the
// anchor's byte be common in the bytes at hand, the scan moves the anchor to
// a position whose byte is rarer there; when every fixed byte is common
// there, it goes on with ShiftOrScan, whose pace no byte slows.
//
// A match lies wholly inside the block; see BlockListSearch for bytes kept in
// several blocks.
class BlockSearch
{
public:
    explicit BlockSearch(BytePattern pattern);

    const BytePattern &pattern() const { return m_pattern; }
    // Where the scan's anchor is at first; -1 for the empty pattern.
    qsizetype anchor() const { return m_anchor; }

    // The start of the first match that starts at or after from; -1 when there is none.
    qsizetype find(QByteArrayView block, qsizetype from = 0) const;
    // The start of the last match that starts before `before`: searching again
    // before a match's start steps back over overlapping matches too, as
    // searching forward again from its start + 1 does. -1 when there is none.
    qsizetype findLast(QByteArrayView block, qsizetype before) const;

private:
    // The first match met among the starts from firstStart to lastStart, in
    // the direction given; -1 when there is none.
    qsizetype scan(QByteArrayView block, qsizetype firstStart, qsizetype lastStart,
        ScanDirection direction) const;

    BytePattern m_pattern;
    qsizetype m_anchor = -1;
    std::optional<ShiftOrScan> m_shiftOr;
};
