#include "hexnotation.h"

#include "cp1252.h"

int HexNotation::digitValue(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

namespace HexNotation {

const std::array<char16_t, 3> &group(unsigned char byte)
{
    static const std::array<std::array<char16_t, 3>, 256> groups = [] {
        constexpr char16_t kDigits[] = u"0123456789ABCDEF";
        std::array<std::array<char16_t, 3>, 256> all {};
        for (int b = 0; b < 256; ++b)
            all[b] = { kDigits[b >> 4], kDigits[b & 0xF], u' ' };
        return all;
    }();
    return groups[byte];
}

QString write(QByteArrayView bytes)
{
    QString out(bytes.size() * 3, Qt::Uninitialized);
    auto *p = reinterpret_cast<char16_t *>(out.data());
    for (char c : bytes) {
        const auto &g = group(static_cast<unsigned char>(c));
        *p++ = g[0];
        *p++ = g[1];
        *p++ = g[2];
    }
    return out;
}

QString writeText(QStringView text)
{
    return write(Cp1252::fromUnicode(text));
}

int pieceValue(QStringView piece)
{
    qsizetype i = 0;
    while (i < piece.size() && (piece[i] == u' ' || piece[i] == u'\t' || piece[i] == u'\n'))
        ++i;
    int value = 0;
    for (; i < piece.size(); ++i) {
        const int digit = digitValue(piece[i]);
        if (digit < 0)
            break;
        // Pieces are two or three characters long; the guard only keeps a
        // longer one from overflowing.
        if (value < (1 << 24))
            value = value * 16 + digit;
    }
    return value;
}

QString toText(QStringView hexEntry)
{
    QString text;
    for (qsizetype i = 0; i < hexEntry.size(); i += 3) {
        if (pieceValue(hexEntry.mid(i, 3)) == 0)
            continue;
        const int code = pieceValue(hexEntry.mid(i, 2));
        // A step like "00A" is not 0 as three characters but gives the code 0
        // as two, a character no entry can hold; it is left out like a 00 group.
        if (code != 0)
            text.append(Cp1252::toChar(static_cast<unsigned char>(code)));
    }
    return text;
}

QString normalise(QStringView hexEntry)
{
    qsizetype first = 0;
    qsizetype last = hexEntry.size();
    while (first < last && hexEntry[first] == u' ')
        ++first;
    while (last > first && hexEntry[last - 1] == u' ')
        --last;
    return hexEntry.mid(first, last - first).toString() + QLatin1Char(' ');
}

SendForm prepareForSending(QStringView hexEntry)
{
    SendForm form;
    form.normalised = normalise(hexEntry);
    const QStringView text(form.normalised);
    for (qsizetype i = 0; i < text.size(); i += 3) {
        if (i + 2 >= text.size() || text[i + 2] != u' ') {
            form.formatErrorAt = i;
            form.bytes.clear();
            return form;
        }
        form.bytes.append(char(pieceValue(text.mid(i, 2))));
    }
    return form;
}

std::optional<QChar> filterTypedCharacter(QChar typed)
{
    const char16_t u = typed.unicode();
    if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || u == u' ' || u == 8)
        return typed;
    if (u >= u'a' && u <= u'f')
        return QChar(char16_t(u - 32));
    return std::nullopt;
}

} // namespace HexNotation
