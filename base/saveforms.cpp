#include "saveforms.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace {

struct Row
{
    SaveForms::Format format;
    const char *name;
    const char *suffix;
};

// Both hex forms are text, so they share the suffix; the dialog tells them
// apart by name.
constexpr std::array<Row, 3> kRows = { {
    //: a file type in the save dialog's filter
    { SaveForms::Format::Raw, QT_TRANSLATE_NOOP("SaveForms", "Rohdaten"), "bin" },
    //: a file type in the save dialog's filter: the bytes in hex notation
    { SaveForms::Format::Hex, QT_TRANSLATE_NOOP("SaveForms", "Hexdarstellung"), "txt" },
    //: a file type in the save dialog's filter: the bytes in hex notation, a timestamp per line
    { SaveForms::Format::TimedHex,
        QT_TRANSLATE_NOOP("SaveForms", "Hexdarstellung mit Zeitstempeln"), "txt" },
} };

const Row &rowOf(SaveForms::Format format)
{
    return *std::find_if(
        kRows.begin(), kRows.end(), [format](const Row &row) { return row.format == format; });
}

} // namespace

namespace SaveForms {

QString filter(Format format)
{
    const Row &row = rowOf(format);
    return QStringLiteral("%1 (*.%2)")
        .arg(QCoreApplication::translate("SaveForms", row.name), QLatin1String(row.suffix));
}

QString suffix(Format format)
{
    return QLatin1String(rowOf(format).suffix);
}

QStringList filters(const std::vector<Format> &formats)
{
    QStringList list;
    for (Format format : formats)
        list.append(filter(format));
    return list;
}

} // namespace SaveForms
