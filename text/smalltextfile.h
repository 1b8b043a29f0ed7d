#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The small UTF-8 files Tavel keeps beside tavel.cfg (the device assignment,
// the lines' choices) read as text: a file far beyond what Tavel writes, or
// one that is not UTF-8, is refused with a German reason.
namespace SmallTextFile {

inline constexpr qsizetype kMaxSize = 64 * 1024;

std::optional<QString> decode(const QByteArray &bytes, QString &problem);

} // namespace SmallTextFile
