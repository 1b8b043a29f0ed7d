#include "cp1252.h"

#include <array>

namespace {

// Unicode code points of the bytes 80 to 9F; the rest of Windows-1252 equals Latin-1.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

} // namespace

namespace Cp1252 {

QChar toChar(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kHighControlRange[byte - 0x80]);
    return QChar(byte);
}

QString toUnicode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : bytes)
        *out++ = toChar(static_cast<unsigned char>(c));
    return text;
}

int toByte(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < int(kHighControlRange.size()); ++i) {
        if (kHighControlRange[i] == u)
            return 0x80 + i;
    }
    return -1;
}

bool isEncodable(QChar ch)
{
    return toByte(ch) >= 0;
}

bool isEncodable(QStringView text)
{
    for (QChar ch : text) {
        if (!isEncodable(ch))
            return false;
    }
    return true;
}

QByteArray fromUnicode(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (QChar ch : text) {
        const int b = toByte(ch);
        *out++ = char(b < 0 ? '?' : b);
    }
    return bytes;
}

} // namespace Cp1252
