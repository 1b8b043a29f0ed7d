#include "anchorscan.h"

#include <cstring>

AnchorScan::AnchorScan(
    const BytePattern::Element &anchor, const char *first, const char *end, ScanDirection direction)
    : m_first(first)
    , m_end(end)
    , m_direction(direction)
    , m_values { anchor.value, anchor.alternative }
    , m_valueCount(anchor.alternative == anchor.value ? 1 : 2)
{
    for (int i = 0; i < m_valueCount; ++i)
        m_next[i] = look(m_values[i], direction == ScanDirection::Forward ? first : end);
}

const char *AnchorScan::next()
{
    int nearest = -1;
    for (int i = 0; i < m_valueCount; ++i) {
        if (m_next[i] && (nearest < 0 || isNearer(m_next[i], m_next[nearest])))
            nearest = i;
    }
    if (nearest < 0)
        return nullptr;
    const char *found = m_next[nearest];
    m_next[nearest]
        = look(m_values[nearest], m_direction == ScanDirection::Forward ? found + 1 : found);
    return found;
}

bool AnchorScan::isNearer(const char *a, const char *b) const
{
    return m_direction == ScanDirection::Forward ? a < b : a > b;
}

const char *AnchorScan::look(unsigned char value, const char *from) const
{
    if (m_direction == ScanDirection::Forward) {
        return from < m_end
            ? static_cast<const char *>(std::memchr(from, value, size_t(m_end - from)))
            : nullptr;
    }
    return from > m_first
        ? static_cast<const char *>(memrchr(m_first, value, size_t(from - m_first)))
        : nullptr;
}
