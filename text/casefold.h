#pragma once

// Upper and lower case of the letters of Windows-1252, for searching text
// without regard to case. Derived once from Qt's case mapping of each byte's
// character, so that no hand-typed table can miss a letter or pair two that
// are not one. A letter is paired only when both cases are in Windows-1252:
// ß has no capital there, µ and ƒ have capitals (Greek Mu, U+0191) only
// outside it; these stand for themselves alone.
namespace CaseFold {

// The byte of the same letter in the other case, or the byte itself when its
// character has no other case in Windows-1252.
unsigned char otherCase(unsigned char byte);

} // namespace CaseFold
