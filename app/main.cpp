#include "appicon.h"
#include "germanui.h"
#include "mditavel.h"
#include "shutdownsignals.h"

#include "app/base/dialogs.h"
#include "config/settingsstore.h"

#include <QApplication>
#include <QThread>
#include <QTimer>

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavel"));
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
