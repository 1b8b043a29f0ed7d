#pragma once

#include <QString>

// Folders that hold one user's files.
namespace PrivateFolder {

// Creates `folder` and its missing parents, each readable by its owner alone
// as the XDG rules ask; a folder that exists is left as it is. Anything else
// in the way is left for the file's own open to report. False, with the
// system's reason, when a folder cannot be made.
bool createIfMissing(const QString &folder, QString &reason);

} // namespace PrivateFolder
