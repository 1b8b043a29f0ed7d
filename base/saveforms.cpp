#include "saveforms.h"

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
    { SaveForms::Format::Raw, "Rohdaten", "bin" },
    { SaveForms::Format::Hex, "Hexdarstellung", "txt" },
    { SaveForms::Format::TimedHex, "Hexdarstellung mit Zeitstempeln", "txt" },
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
    return QStringLiteral("%1 (*.%2)").arg(QString::fromUtf8(row.name), QLatin1String(row.suffix));
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
