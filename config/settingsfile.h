#pragma once

#include "savedstate.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// tavel.cfg as bytes: 30 lines of comma-separated fields, no header, meaning
// given by order alone. Pure functions; SettingsStore deals with the disk.
namespace SettingsFile {

inline constexpr int kFieldCount = 45;
inline constexpr int kLineCount = 30;

struct ReadResult
{
    // Fields the file does not reach keep the values of SavedState::defaults().
    SavedState state = SavedState::defaults();
    // Empty when the file was whole and sound; otherwise sentences that
    // say what was wrong, without the file's path.
    QString problem;
};

// Reads the 45 fields in order, wherever the line ends fall; anything after
// the 45th field is ignored. A doubled quote inside a quoted field is one quote.
ReadResult parse(QByteArrayView bytes);

// Exactly 30 lines, each ended by CR LF. Quotes inside texts are doubled and
// characters without a Windows-1252 code become '?'.
QByteArray serialize(const SavedState &state);

} // namespace SettingsFile
