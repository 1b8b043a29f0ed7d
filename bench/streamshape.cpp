#include "streamshape.h"

#include <iterator>
#include <string_view>

namespace {

constexpr qint64 kMaxRead = 64 * 1024;
constexpr int kPatternLines = 4096;

QByteArray textLines()
{
    // Numbered lines, so that no two neighbouring rows look alike.
    QByteArray pattern;
    for (int i = 0; i < kPatternLines; ++i) {
        QByteArray line = "Zeile " + QByteArray::number(i).rightJustified(5, '0') + ": ";
        for (int c = 0; line.size() < 80; ++c)
            line.append(char('A' + (i + c) % 26));
        pattern += line + "\r\n";
    }
    return pattern;
}

QByteArray endlessPrintable()
{
    QByteArray pattern;
    for (int i = 0; i < kPatternLines * 80; ++i)
        pattern.append(char(0x20 + (i * 7 + i / 95) % 95));
    return pattern;
}

QByteArray binary()
{
    // Pseudo-random bytes (xorshift), and every few hundred bytes one of the
    // sequences that a Telnet or a terminal would treat as its own. The
    // period is odd, so no read of a power-of-two size repeats another.
    using namespace std::string_view_literals;
    static constexpr std::string_view kSpecial[] = { "\xff"sv, "\xff\xff"sv, "\xff\xff\xff\xff"sv,
        "\xff\xfa\x2c\x01\x00\x00\x25\x80\xff\xf0"sv, "\xff\xfb\x01"sv, "\xff\xfd\x2c"sv, "\r\0"sv,
        "\r\n"sv, "\n\r"sv };
    constexpr qsizetype kPeriod = 1'048'573;
    QByteArray pattern;
    pattern.reserve(kPeriod + 16);
    quint32 state = 0x2545f491;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    while (pattern.size() < kPeriod) {
        const quint32 r = next();
        if (r % 400 == 0) {
            const std::string_view special = kSpecial[next() % std::size(kSpecial)];
            pattern.append(special.data(), qsizetype(special.size()));
        } else {
            pattern.append(char(r >> 24));
        }
    }
    pattern.truncate(kPeriod);
    return pattern;
}

QByteArray patternOf(StreamShape::Kind kind)
{
    switch (kind) {
    case StreamShape::Kind::TextLines:
        return textLines();
    case StreamShape::Kind::EndlessPrintable:
        return endlessPrintable();
    case StreamShape::Kind::Binary:
        return binary();
    }
    return {};
}

} // namespace

StreamShape::StreamShape(Kind kind)
    : m_kind(kind)
    , m_pattern(patternOf(kind))
    , m_period(m_pattern.size())
{
    m_pattern += m_pattern.left(kMaxRead);
}

QString StreamShape::name() const
{
    switch (m_kind) {
    case Kind::TextLines:
        return QStringLiteral("80-column text lines");
    case Kind::EndlessPrintable:
        return QStringLiteral("printable bytes, no line break");
    case Kind::Binary:
        return QStringLiteral("every byte value, FF and CR NUL strewn in");
    }
    return {};
}

QByteArrayView StreamShape::bytes(qint64 offset, qint64 count) const
{
    return QByteArrayView(m_pattern).sliced(offset % m_period, std::min(count, kMaxRead));
}
