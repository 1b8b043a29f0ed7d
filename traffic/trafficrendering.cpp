#include "trafficrendering.h"

#include "text/cp1252.h"
#include "text/hexnotation.h"
#include "trafficlog.h"

#include <algorithm>
#include <array>

namespace {

constexpr char16_t kNulSymbol = 0x2400;
constexpr char16_t kDelSymbol = 0x2421;
constexpr char16_t kUndefinedSymbol = 0xFFFD;

const std::array<char16_t, 256> &characterTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t {};
        for (int b = 0; b < 256; ++b)
            t[b] = Cp1252::toChar(static_cast<unsigned char>(b)).unicode();
        return t;
    }();
    return table;
}

} // namespace

qint64 TrafficRendering::length(const TrafficLog &log) const
{
    return log.size() * charactersPerByte();
}

QString TrafficRendering::text(const TrafficLog &log, qint64 from, qint64 to) const
{
    from = std::clamp<qint64>(from, 0, length(log));
    to = std::clamp<qint64>(to, from, length(log));
    QString out(to - from, Qt::Uninitialized);
    if (m_kind == Kind::Hex)
        writeHex(log, from, to, out.data());
    else
        writeCharacters(log, from, to, out.data());
    return out;
}

QChar TrafficRendering::character(unsigned char byte) const
{
    if (byte == 0 && m_zero == ZeroByte::FullStop)
        return u'.';
    return QChar(characterTable()[byte]);
}

QChar TrafficRendering::symbol(unsigned char byte) const
{
    const QChar ch = character(byte);
    if (byte == 0 && m_zero == ZeroByte::FullStop)
        return ch;
    if (byte < 0x20)
        return QChar(char16_t(kNulSymbol + byte));
    if (byte == 0x7F)
        return QChar(kDelSymbol);
    // What Windows-1252 leaves undefined comes out of the mapping as a C1 control.
    if (ch.unicode() >= 0x80 && ch.unicode() < 0xA0)
        return QChar(kUndefinedSymbol);
    return ch;
}

QChar TrafficRendering::hexDigit(int nibble)
{
    return QChar(HexNotation::group(nibble & 0xF)[1]);
}

void TrafficRendering::writeCharacters(
    const TrafficLog &log, qint64 from, qint64 to, QChar *out) const
{
    const std::array<char16_t, 256> &table = characterTable();
    const char16_t zero = character(0).unicode();
    for (qint64 pos = from; pos < to;) {
        const QByteArrayView piece = log.contiguousAt(pos);
        const qint64 n = std::min<qint64>(piece.size(), to - pos);
        for (qint64 i = 0; i < n; ++i) {
            const auto b = static_cast<unsigned char>(piece[i]);
            *out++ = QChar(b == 0 ? zero : table[b]);
        }
        pos += n;
    }
}

void TrafficRendering::writeHex(const TrafficLog &log, qint64 from, qint64 to, QChar *out) const
{
    auto *dest = reinterpret_cast<char16_t *>(out);
    qint64 pos = from;
    // A group cut by the start of the range.
    if (pos % 3 != 0 && pos < to) {
        const auto &group = HexNotation::group(log.byteAt(pos / 3));
        for (; pos % 3 != 0 && pos < to; ++pos)
            *dest++ = group[pos % 3];
    }
    const qint64 wholeEnd = to / 3;
    for (qint64 byte = pos / 3; byte < wholeEnd;) {
        const QByteArrayView piece = log.contiguousAt(byte);
        const qint64 n = std::min<qint64>(piece.size(), wholeEnd - byte);
        for (qint64 i = 0; i < n; ++i) {
            const auto &group = HexNotation::group(static_cast<unsigned char>(piece[i]));
            dest[0] = group[0];
            dest[1] = group[1];
            dest[2] = group[2];
            dest += 3;
        }
        byte += n;
        pos = byte * 3;
    }
    // A group cut by the end of the range.
    for (; pos < to; ++pos)
        *dest++ = HexNotation::group(log.byteAt(pos / 3))[pos % 3];
}
