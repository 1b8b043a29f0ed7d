#pragma once

#include "bytepattern.h"
#include "scandirection.h"

#include <array>

// The occurrences, one after the other in one direction, of a pattern
// position's byte in a range: the candidates where a match may start. A
// letter in both cases is two values; each is looked for with memchr (memrchr
// backward) on its own and the nearer one taken, so that two values cost two
// fast passes and never a loop over single bytes.
class AnchorScan
{
public:
    // The range from first up to before end; nothing when end <= first.
    AnchorScan(const BytePattern::Element &anchor, const char *first, const char *end,
        ScanDirection direction);

    // The next occurrence, or nullptr when the range holds no more.
    const char *next();

private:
    bool isNearer(const char *a, const char *b) const;
    // Forward: from `from` up to the end; backward: from the start up to before `from`.
    const char *look(unsigned char value, const char *from) const;

    const char *m_first;
    const char *m_end;
    ScanDirection m_direction;
    std::array<unsigned char, 2> m_values;
    int m_valueCount;
    std::array<const char *, 2> m_next {};
};
