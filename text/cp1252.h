#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// All text in Tavel is 8-bit: one byte per character, the byte being the
// character's code in Windows-1252. This is the one place where such bytes meet
// Qt's Unicode strings. The mapping is a bijection on all 256 bytes: the five
// codes Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D) map to the C1
// control characters of the same value, so any byte survives a round trip.
namespace Cp1252 {

QChar toChar(unsigned char byte);
QString toUnicode(QByteArrayView bytes);

// The byte for a character, or -1 when Windows-1252 has no such character.
int toByte(QChar ch);
bool isEncodable(QChar ch);
bool isEncodable(QStringView text);

// Characters without a Windows-1252 code become '?'; callers that must not
// lose anything check isEncodable() first.
QByteArray fromUnicode(QStringView text);

} // namespace Cp1252
