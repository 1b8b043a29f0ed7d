#include "configfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <unistd.h>
#include <utility>

namespace {

const QString kUserFolderName = QStringLiteral("tavel");

// Where Debian and a manual install put programs; /bin and /sbin are these
// same folders on a merged /usr, but not on every system.
bool isSystemProgramFolder(const QString &folder)
{
    static const QStringList folders { QStringLiteral("/usr/bin"), QStringLiteral("/usr/sbin"),
        QStringLiteral("/usr/games"), QStringLiteral("/usr/local/bin"),
        QStringLiteral("/usr/local/sbin"), QStringLiteral("/usr/local/games"),
        QStringLiteral("/bin"), QStringLiteral("/sbin") };
    return folders.contains(QDir::cleanPath(folder));
}

} // namespace

ConfigFolder::Environment ConfigFolder::Environment::current()
{
    return { qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath() };
}

ConfigFolder::ConfigFolder(QString path)
    : m_path(std::move(path))
{
}

ConfigFolder ConfigFolder::forThisProgram()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return ConfigFolder(choose(programFolder, accessOf(programFolder), Environment::current()));
}

QString ConfigFolder::choose(
    const QString &programFolder, ProgramFolder programFolderAccess, const Environment &environment)
{
    if (programFolderAccess == ProgramFolder::Writable)
        return programFolder;
    // The XDG rules ignore a relative $XDG_CONFIG_HOME, as it would depend on
    // the folder the program happens to be started from.
    const QString &configHome = environment.xdgConfigHome;
    if (!configHome.isEmpty() && QDir::isAbsolutePath(configHome))
        return QDir::cleanPath(configHome + QLatin1Char('/') + kUserFolderName);
    return QDir::cleanPath(environment.home + QStringLiteral("/.config/") + kUserFolderName);
}

ConfigFolder::ProgramFolder ConfigFolder::accessOf(const QString &folder)
{
    // access() asks the kernel, so a read-only mount, an ACL or a missing
    // folder count as well as the permission bits.
    if (isSystemProgramFolder(folder)
        || ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return ProgramFolder::NotWritable;
    return ProgramFolder::Writable;
}

QString ConfigFolder::filePath(const QString &name) const
{
    return m_path + QLatin1Char('/') + name;
}

QString ConfigFolder::fileBeside(const QString &path, const QString &name)
{
    return ConfigFolder(QFileInfo(path).absolutePath()).filePath(name);
}
