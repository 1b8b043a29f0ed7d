#pragma once

#include <QStringList>
#include <QStringView>

// The character table of the input and automation windows: one item per code,
// "41h ; 65, A". Only an item's first two characters are ever read back.
namespace CharacterTable {

// The item for one code, 0 to 255. Codes without a printable character (below
// 32, 127 and the five codes Windows-1252 leaves undefined) end after the
// decimal number; 32 goes on with ", Space ".
QString itemText(int code);

// The items from firstCode to 255 in ascending order: 0 for the input
// window's 256, 1 for the automation window's 255.
QStringList items(int firstCode);

// The code an item stands for: its first two characters read as hex; 0 when
// there are none (no item selected).
int codeOfItem(QStringView item);

} // namespace CharacterTable
