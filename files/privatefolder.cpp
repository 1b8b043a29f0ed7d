#include "privatefolder.h"

#include "systemerror.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <sys/stat.h>
#include <utility>

namespace {

bool isMissing(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) != 0 && errno == ENOENT;
}

} // namespace

bool PrivateFolder::createIfMissing(const QString &folder, QString &reason)
{
    QStringList missing;
    for (QString at = QDir::cleanPath(folder); isMissing(at); at = QDir::cleanPath(at + "/.."))
        missing.prepend(at);
    for (const QString &at : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(at).constData(), 0700) != 0 && errno != EEXIST) {
            reason = SystemError::reason(errno);
            return false;
        }
    }
    return true;
}
