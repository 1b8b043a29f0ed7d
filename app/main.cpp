#include "app/buildinfo.h"
#include "appicon.h"
#include "base/dialogs.h"
#include "commandline.h"
#include "config/settingsstore.h"
#include "germanui.h"
#include "mditavel.h"
#include "shutdownsignals.h"

#include <QApplication>
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

// Answers --help and --version, or refuses what Tavel does not know, before
// QApplication exists: it would need a display, and the probe would follow.
bool answeredCommandLine(int argc, char *argv[], int &exitCode)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Outcome outcome = CommandLine::parse(arguments);
    std::fputs(outcome.output.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.error.toLocal8Bit().constData(), stderr);
    exitCode = outcome.exitCode;
    return outcome.action == CommandLine::Action::Exit;
}

} // namespace

int main(int argc, char *argv[])
{
    if (int exitCode = 0; answeredCommandLine(argc, argv, exitCode))
        return exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavel"));
    QApplication::setDesktopFileName(QLatin1String(kTavelAppId));
    QApplication::setWindowIcon(tavelIcon());
    installGermanUi(app);

    ShutdownSignals shutdownSignals;
    MDITavel window(SettingsStore::defaultPath());
    QObject::connect(&shutdownSignals, &ShutdownSignals::requested, &window,
        [&window] { closeWhenUnwound(window); });

    if (window.MDIForm_Load() == MDITavel::StartOutcome::EndProgram)
        return 0;
    g_mainLoopRunning = true;
    return app.exec();
}
