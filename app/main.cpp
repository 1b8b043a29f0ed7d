#include "germanui.h"
#include "mditavel.h"
#include "shutdownsignals.h"

#include "app/base/dialogs.h"
#include "config/settingsstore.h"

#include <QApplication>
#include <QTimer>

namespace {

// Ends the program as the main window's close box does. Open dialogs are
// dismissed first and no new one opens; the close itself waits until the
// dialogs' own event loops have unwound, so that no handler is left half-run
// inside a window that is already gone.
void closeWhenUnwound(MDITavel &window)
{
    QtDialogs::refuseNewDialogs();
    QtDialogs::dismissOpenDialogs();
    if (QApplication::activeModalWidget()) {
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
    installGermanUi(app);

    ShutdownSignals shutdownSignals;
    MDITavel window(SettingsStore::defaultPath());
    bool stopRequested = false;
    QObject::connect(&shutdownSignals, &ShutdownSignals::requested, &window, [&] {
        stopRequested = true;
        QTimer::singleShot(0, &window, [&window] { closeWhenUnwound(window); });
    });

    if (window.MDIForm_Load() == MDITavel::StartOutcome::EndProgram)
        return 0;
    if (stopRequested && !window.isShutDown())
        QTimer::singleShot(0, &window, [&window] { closeWhenUnwound(window); });
    return app.exec();
}
