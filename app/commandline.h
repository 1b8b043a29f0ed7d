#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the command line asks for, decided before any window exists, so that
// "tavel --version" works without a display and starts no port probe.
//
// Tavel has three options of its own: --help, --version and --sprache, which
// chooses the language of the interface and of these answers. The toolkit's
// options (-platform, -style, -session ...) are left for it: a session
// manager restarts a program with -session, and -platform is how one chooses
// the display.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

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

    // The value of the last --sprache (as "--sprache en" or "--sprache=en"),
    // null when none is given. Read before parse(), whose answers are in the
    // language it names; parse() refuses a value that names none.
    static QString languageValue(const QStringList &arguments);

    static QString versionText();
    static QString helpText();

private:
    // How many arguments --sprache at `index` takes up (1 or 2), or 0 when
    // the argument is not that option; `value` is its value.
    static int languageOptionLength(const QStringList &arguments, qsizetype index, QString &value);
    // How many arguments a toolkit option at `index` takes up (1 or 2), or 0
    // when the argument is none of the toolkit's options.
    static int toolkitOptionLength(const QStringList &arguments, qsizetype index);
};
