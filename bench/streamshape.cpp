#include "streamshape.h"

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

} // namespace

StreamShape::StreamShape(Kind kind)
    : m_kind(kind)
    , m_pattern(kind == Kind::TextLines ? textLines() : endlessPrintable())
    , m_period(m_pattern.size())
{
    m_pattern += m_pattern.left(kMaxRead);
}

QString StreamShape::name() const
{
    return m_kind == Kind::TextLines ? QStringLiteral("80-column text lines")
                                     : QStringLiteral("printable bytes, no line break");
}

QByteArrayView StreamShape::bytes(qint64 offset, qint64 count) const
{
    return QByteArrayView(m_pattern).sliced(offset % m_period, std::min(count, kMaxRead));
}
