#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, decided before any window exists, so that
// "tavel --version" works without a display and starts no port probe.
//
// Tavel has two options of its own. The toolkit's options (-platform, -style,
// -session ...) are left for it: a session manager restarts a program with
// -session, and -platform is how one chooses the display.
class CommandLine
{
public:
    enum class Action { StartProgram, Exit };

    struct Outcome
    {
        Action action = Action::StartProgram;
        QString output; // for standard output
        QString error; // for standard error
        int exitCode = 0;
    };

    static constexpr int kUsageExitCode = 2;

    // `arguments` without the program's name.
    static Outcome parse(const QStringList &arguments);

    static QString versionText();
    static QString helpText();

private:
    // How many arguments a toolkit option at `index` takes up (1 or 2), or 0
    // when the argument is none of the toolkit's options.
    static int toolkitOptionLength(const QStringList &arguments, qsizetype index);
};
