#include "savelocation.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString &lastFolder()
{
    static QString folder = QDir::homePath();
    return folder;
}

} // namespace

QString SaveLocation::suggest(const QString &stem, const QString &suffix, const QDateTime &now)
{
    const QString name = QStringLiteral("%1-%2.%3")
                             .arg(stem, now.toString(QStringLiteral("yyyyMMdd-HHmmss")), suffix);
    return QDir(lastFolder()).filePath(name);
}

void SaveLocation::remember(const QString &chosenPath)
{
    lastFolder() = QFileInfo(chosenPath).absolutePath();
}
