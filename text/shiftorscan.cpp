#include "shiftorscan.h"

ShiftOrScan::ShiftOrScan(const BytePattern &pattern)
    : m_size(pattern.size())
{
    Q_ASSERT(m_size > 0 && m_size <= kMaxSize);
    m_forward.fill(~quint64(0));
    m_backward.fill(~quint64(0));
    for (qsizetype position = 0; position < m_size; ++position) {
        for (int byte = 0; byte < 256; ++byte) {
            if (pattern.matches(position, static_cast<unsigned char>(byte))) {
                m_forward[byte] &= ~(quint64(1) << position);
                m_backward[byte] &= ~(quint64(1) << (m_size - 1 - position));
            }
        }
    }
}

// The shift brings in a clear bit at position 0: a match may begin at every
// byte. Two operations per byte depend on the byte before, one fewer than
// shift-and's, which sets that bit with an OR of its own.
qsizetype ShiftOrScan::find(
    QByteArrayView block, qsizetype firstStart, qsizetype lastStart, ScanDirection direction) const
{
    const quint64 complete = quint64(1) << (m_size - 1);
    const auto *bytes = reinterpret_cast<const unsigned char *>(block.data());
    quint64 failed = ~quint64(0);
    if (direction == ScanDirection::Forward) {
        for (qsizetype at = firstStart; at < lastStart + m_size; ++at) {
            failed = (failed << 1) | m_forward[bytes[at]];
            if (!(failed & complete))
                return at - m_size + 1;
        }
    } else {
        for (qsizetype at = lastStart + m_size - 1; at >= firstStart; --at) {
            failed = (failed << 1) | m_backward[bytes[at]];
            if (!(failed & complete))
                return at;
        }
    }
    return -1;
}
