#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringView>
#include <optional>

// The small UTF-8 files Tavel keeps beside tavel.cfg (the device assignment,
// the lines' choices) read as text: a file far beyond what Tavel writes, or
// one that is not UTF-8, is refused with a reason in the interface's language.
namespace SmallTextFile {

inline constexpr qsizetype kMaxSize = 64 * 1024;

// Twips far beyond any screen; a larger number is a damaged file, not a
// window's place.
inline constexpr int kPlaceLimit = 1 << 24;

std::optional<QString> decode(const QByteArray &bytes, QString &problem);
// A number as these files write it: digits with a minus sign perhaps, no
// blanks, no plus sign, no leading zeros.
std::optional<int> strictNumber(QStringView text);
// A window's place in twips, "LEFT,TOP", each within kPlaceLimit.
std::optional<QPoint> placeOf(const QString &value);

} // namespace SmallTextFile
