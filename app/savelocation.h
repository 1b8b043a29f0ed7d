#pragma once

#include <QDateTime>
#include <QString>

// Where the save dialogs start: a name with the date and time in the folder
// that the last save or capture of this run went to, the home folder before
// that. Kept for the run only, as the file dialog keeps its own history.
namespace SaveLocation {

// "empfangen-20261206-153012.bin" for the stem "empfangen" and suffix "bin".
QString suggest(const QString &stem, const QString &suffix,
    const QDateTime &now = QDateTime::currentDateTime());
// The folder of a path the user chose becomes the one used next.
void remember(const QString &chosenPath);

} // namespace SaveLocation
