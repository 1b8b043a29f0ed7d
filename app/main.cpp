#include "app/buildinfo.h"
#include "appicon.h"
#include "base/dialogs.h"
#include "commandline.h"
#include "config/settingsstore.h"
#include "mditavel.h"
#include "shutdownsignals.h"
#include "uilanguage.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

bool g_mainLoopRunning = false;

// Ends the program as the main window's close box does. Open dialogs are
// dismissed first and no new one opens; the close itself waits until every
// handler that was waiting on a dialog has run to its end and only the main
// event loop is left, so that nothing runs on in a window that is gone.
void closeWhenUnwound(MDITavel &window)
{
    QtDialogs::refuseNewDialogs();
    QtDialogs::dismissOpenDialogs();
    if (!g_mainLoopRunning || QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(10, &window, [&window] { closeWhenUnwound(window); });
        return;
    }
    window.close();
}

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The language from --sprache, TAVEL_SPRACHE and the system's languages.
UiLanguage::Choice chosenLanguage(const QStringList &arguments)
{
    return UiLanguage::choose(UiLanguage::fromCode(CommandLine::languageValue(arguments)),
        qEnvironmentVariable(UiLanguage::kVariable), QLocale::system().uiLanguages());
}

// Answers --help and --version, or refuses what Tavel does not know, before
// QApplication exists: it would need a display, and the probe would follow.
// A QCoreApplication of its own carries the translation meanwhile; a start
// with nothing to answer or warn about needs neither, and the translation is
// loaded once, with the application.
bool answeredCommandLine(int argc, char *argv[], UiLanguage::Choice language, int &exitCode)
{
    if (!language.variableUnknown
        && CommandLine::parse(argumentList(argc, argv)).action == CommandLine::Action::StartProgram)
        return false;
    QCoreApplication commandLineOnly(argc, argv);
    UiLanguage::install(commandLineOnly, language.language);
    if (language.variableUnknown)
        std::fputs(QCoreApplication::translate("main",
                       "tavel: %1=„%2“ ist keine Sprache (de oder en) und bleibt unbeachtet\n")
                       .arg(QLatin1String(UiLanguage::kVariable),
                           qEnvironmentVariable(UiLanguage::kVariable))
                       .toLocal8Bit()
                       .constData(),
            stderr);
    const CommandLine::Outcome outcome = CommandLine::parse(argumentList(argc, argv));
    std::fputs(outcome.output.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.error.toLocal8Bit().constData(), stderr);
    exitCode = outcome.exitCode;
    return outcome.action == CommandLine::Action::Exit;
}

} // namespace

int main(int argc, char *argv[])
{
    const UiLanguage::Choice language = chosenLanguage(argumentList(argc, argv));
    if (int exitCode = 0; answeredCommandLine(argc, argv, language, exitCode))
        return exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavel")); // untranslated: the name
    QApplication::setDesktopFileName(QLatin1String(kTavelAppId));
    QApplication::setWindowIcon(tavelIcon());
    UiLanguage::install(app, language.language);

    ShutdownSignals shutdownSignals;
    MDITavel window(SettingsStore::defaultPath());
    QObject::connect(&shutdownSignals, &ShutdownSignals::requested, &window,
        [&window] { closeWhenUnwound(window); });

    if (window.MDIForm_Load() == MDITavel::StartOutcome::EndProgram)
        return 0;
    g_mainLoopRunning = true;
    return app.exec();
}
