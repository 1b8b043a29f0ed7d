#include "casefold.h"

#include "cp1252.h"

#include <array>

namespace {

std::array<unsigned char, 256> buildOtherCases()
{
    std::array<unsigned char, 256> other {};
    for (int byte = 0; byte < 256; ++byte) {
        const QChar ch = Cp1252::toChar(static_cast<unsigned char>(byte));
        other[byte] = static_cast<unsigned char>(byte);
        // toByte gives -1 for a case partner outside Windows-1252 (the capital
        // of µ or ƒ); that must leave the byte alone, not become 0xFF.
        for (const QChar partner : { ch.toUpper(), ch.toLower() }) {
            const int partnerByte = Cp1252::toByte(partner);
            if (partnerByte >= 0 && partnerByte != byte)
                other[byte] = static_cast<unsigned char>(partnerByte);
        }
    }
    return other;
}

} // namespace

namespace CaseFold {

unsigned char otherCase(unsigned char byte)
{
    static const std::array<unsigned char, 256> table = buildOtherCases();
    return table[byte];
}

} // namespace CaseFold
