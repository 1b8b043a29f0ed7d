#pragma once

#include <QString>

// Byte counts as a reader of the interface's language writes them, in
// thousands grouped with a dot in German ("13.824") and a comma in English,
// the same in every message and window.
namespace ByteCount {

// "13.824"
QString number(qint64 count);
// "1 Byte", "13.824 Bytes"
QString amount(qint64 count);

} // namespace ByteCount
