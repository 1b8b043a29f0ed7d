#include "charactertable.h"

#include "cp1252.h"
#include "hexnotation.h"

#include <QCoreApplication>

namespace {

bool hasNoCharacter(int code)
{
    switch (code) {
    case 0x7F:
    case 0x81:
    case 0x8D:
    case 0x8F:
    case 0x90:
    case 0x9D:
        return true;
    default:
        return code < 32;
    }
}

} // namespace

namespace CharacterTable {

QString itemText(int code)
{
    const QString hex = QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    const QString item = hex + QStringLiteral("h ; ") + QString::number(code);
    if (code == 32)
        //: Name of the space character (code 32) in the character table
        return item + QStringLiteral(", ") + QCoreApplication::translate("CharacterTable", "Space")
            + QLatin1Char(' ');
    if (hasNoCharacter(code))
        return item;
    return item + QStringLiteral(", ") + Cp1252::toChar(static_cast<unsigned char>(code));
}

QStringList items(int firstCode)
{
    QStringList list;
    list.reserve(256 - firstCode);
    for (int code = firstCode; code < 256; ++code)
        list.append(itemText(code));
    return list;
}

int codeOfItem(QStringView item)
{
    return HexNotation::pieceValue(item.left(2));
}

} // namespace CharacterTable
