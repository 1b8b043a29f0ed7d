#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The hex byte notation: two upper-case hex digits and one space per byte
// ("41 0A "). Writing it, reading it back the way the input window does, and
// the typed-key decision of the hex entry. Nothing here shows a message: the
// callers turn the results into what the user sees.
namespace HexNotation {

// The value of a hex digit in either case; -1 for any other character.
int digitValue(QChar ch);

// One byte's group: its two digits and the space. The received-data window's
// hex view draws from these, so that every writer of the notation agrees.
const std::array<char16_t, 3> &group(unsigned char byte);

QString write(QByteArrayView bytes);
// The notation of an 8-bit text, one group per character's Windows-1252 code.
QString writeText(QStringView text);

// The value of a piece of notation: spaces, tabs and line feeds are skipped,
// the hex digits that follow are one number, the first other character ends
// it; no digit gives 0. Meant for pieces of two or three characters.
int pieceValue(QStringView piece);

// The text-mode conversion: the entry is visited in steps of three; a step
// whose three characters have the value 0 is skipped, otherwise the value of
// its first two characters is one character. Never fails: whatever the entry
// holds is read in those steps.
QString toText(QStringView hexEntry);

// The leading and trailing spaces removed and exactly one space appended.
QString normalise(QStringView hexEntry);

struct SendForm
{
    // What the entry becomes, whether or not the check passes.
    QString normalised;
    // The bytes to send; empty when the check failed.
    QByteArray bytes;
    // Index in normalised of the first group whose third character is not a
    // space; -1 when every group is well formed.
    qsizetype formatErrorAt = -1;

    bool ok() const { return formatErrorAt < 0; }
};

// Normalises the entry and reads it as whole three-character groups, each
// ending with a space. A group's first two characters are not checked for
// being digits: they give their value, so a group of spaces sends 0.
SendForm prepareForSending(QStringView hexEntry);

// The hex entry's decision for one typed character: the character to let
// through (hex digits, space, Backspace; a to f upper-cased), or nothing to
// discard it.
std::optional<QChar> filterTypedCharacter(QChar typed);

} // namespace HexNotation
