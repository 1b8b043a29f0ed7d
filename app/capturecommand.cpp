#include "capturecommand.h"

#include "base/dialogs.h"
#include "base/module1.h"
#include "base/saveforms.h"
#include "files/capturefile.h"
#include "savelocation.h"

#include <QAction>
#include <QDir>

CaptureCommand::CaptureCommand(QObject *parent)
    : QObject(parent)
{
}

CaptureCommand::~CaptureCommand() = default;

QString CaptureCommand::startCaption()
{
    //: Menu command: starts writing every received byte into a file (capture)
    return tr("&Mitschnitt …");
}

QString CaptureCommand::stopCaption()
{
    //: Menu command: ends the capture into a file
    return tr("&Mitschnitt beenden");
}

void CaptureCommand::setAction(QAction *action)
{
    m_action = action;
    updateCaption();
}

void CaptureCommand::toggle()
{
    if (m_file) {
        stop();
        return;
    }
    const Dialogs::SaveTarget target = Dialogs::current().saveFileName(
        //: File dialog title: where the capture goes
        tr("Mitschnitt speichern"), { SaveForms::filter(SaveForms::Format::Raw) },
        //: Stem of the suggested file name (…-20261206-153012.bin): lower case, no blanks
        SaveLocation::suggest(tr("mitschnitt"), SaveForms::suffix(SaveForms::Format::Raw)));
    if (target.path.isEmpty())
        return;
    SaveLocation::remember(target.path);
    auto file = std::make_unique<CaptureFile>(target.path);
    if (!file->open()) {
        Dialogs::current().message(
            //: Capture = every received byte written into a file; %1 the path, %2 the system's
            //: reason
            tr("Der Mitschnitt kann nicht in die Datei „%1“ geschrieben werden: %2.")
                .arg(QDir::toNativeSeparators(target.path), file->reason()),
            kApplicationTitle);
        return;
    }
    m_file = std::move(file);
    updateCaption();
}

void CaptureCommand::received(QByteArrayView bytes)
{
    if (!m_file || m_file->append(bytes))
        return;
    // Ended before the box opens: reads that come while it is shown go on to
    // the window only.
    const std::unique_ptr<CaptureFile> failed = std::move(m_file);
    failed->close();
    updateCaption();
    Dialogs::current().message(
        //: %1 is the path of the capture file, %2 the system's reason
        tr("Der Mitschnitt in die Datei „%1“ ist beendet, weil sie nicht weiter "
           "geschrieben werden kann: %2. Die empfangenen Daten zeigt weiterhin das "
           "Fenster „Empfangene Daten“.")
            .arg(QDir::toNativeSeparators(failed->path()), failed->reason()),
        kApplicationTitle);
}

void CaptureCommand::stop()
{
    m_file.reset();
    updateCaption();
}

void CaptureCommand::updateCaption()
{
    if (m_action)
        m_action->setText(m_file ? stopCaption() : startCaption());
}
