#include "trafficrendering.h"

#include "text/cp1252.h"
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
    return QChar(u"0123456789ABCDEF"[nibble & 0xF]);
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
    qint64 pos = from;
    while (pos < to) {
        const qint64 byte = pos / 3;
        const QByteArrayView piece = log.contiguousAt(byte);
        for (qsizetype i = 0; i < piece.size() && pos < to; ++i) {
            const auto b = static_cast<unsigned char>(piece[i]);
            const QChar group[3] = { hexDigit(b >> 4), hexDigit(b), QChar(u' ') };
            const qint64 groupStart = (byte + i) * 3;
            if (pos == groupStart && pos + 3 <= to) {
                out[0] = group[0];
                out[1] = group[1];
                out[2] = group[2];
                out += 3;
                pos += 3;
                continue;
            }
            for (qint64 k = pos - groupStart; k < 3 && pos < to; ++k, ++pos)
                *out++ = group[k];
        }
    }
}
