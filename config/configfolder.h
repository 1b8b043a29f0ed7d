#pragma once

#include <QString>

// The folder that holds the files Tavel keeps from one run to the next
// (tavel.cfg, and whatever joins it there).
//
// A copy run from a folder of its own (a build folder, a USB stick) keeps its
// files beside the program, as it always has. An installed program's folder
// is not the user's to write, and a file there would be shared by every user,
// so the files then live in the user's configuration folder as the XDG Base
// Directory rules place it: $XDG_CONFIG_HOME/tavel, or ~/.config/tavel.
class ConfigFolder
{
public:
    enum class ProgramFolder { Writable, NotWritable };

    // What the choice depends on besides the program's folder.
    struct Environment
    {
        QString xdgConfigHome; // empty when unset
        QString home;

        static Environment current();
    };

    explicit ConfigFolder(QString path);

    // The folder for this run of the program.
    static ConfigFolder forThisProgram();

    // The choice alone, without looking at the disk.
    static QString choose(const QString &programFolder, ProgramFolder programFolderAccess,
        const Environment &environment);

    // Whether files may be kept in `folder`: this process can create files in
    // it and it is none of the system's folders for programs. Root may write
    // /usr/bin, but a file of one user's there is a stray in a folder that
    // the package manager owns.
    static ProgramFolder accessOf(const QString &folder);

    QString path() const { return m_path; }
    QString filePath(const QString &name) const;
    // A file of Tavel's own in the folder that holds the given one
    // (tavel.cfg): the small files beside it take their place from it.
    static QString fileBeside(const QString &path, const QString &name);

private:
    QString m_path;
};
