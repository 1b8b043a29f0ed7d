#include "savecommands.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/module1.h"
#include "base/saveforms.h"
#include "savelocation.h"
#include "traffic/trafficlog.h"
#include "traffic/trafficsave.h"
#include "windows/saveprogresswindow.h"

#include <QDir>
#include <QTimer>

using Format = TrafficExport::Format;

SaveCommands::SaveCommands(LogSource received, LogSource sent, QWidget *window)
    : m_received(std::move(received))
    , m_sent(std::move(sent))
    , m_window(window)
{
}

// A save still running is given up with its owner; its destructor waits for
// the thread.
SaveCommands::~SaveCommands()
{
    delete m_save;
}

void SaveCommands::saveReceived()
{
    //: File dialog and progress window title
    save(m_received(), tr("Empfangene Daten speichern"),
        //: Stem of the suggested file name (…-20261206-153012.bin): lower case, no blanks
        tr("empfangen"), { Format::Raw, Format::Hex, Format::TimedHex });
}

void SaveCommands::saveSent()
{
    //: File dialog and progress window title
    save(m_sent(), tr("Gesendete Daten speichern"),
        //: Stem of the suggested file name (…-20261206-153012.bin): lower case, no blanks
        tr("gesendet"), { Format::Raw, Format::Hex });
}

void SaveCommands::save(const TrafficLog *log, const QString &title, const QString &stem,
    const std::vector<Format> &forms)
{
    // One at a time: a second save would share the progress window and the
    // question at the end with the first.
    if (m_save) {
        Dialogs::current().message(
            //: Participle put into "The file “%1” is still being %2. …"
            Messages::oneFileAtATime(m_save->path(), tr("gespeichert")), kApplicationTitle);
        return;
    }
    const Dialogs::SaveTarget target = Dialogs::current().saveFileName(title,
        SaveForms::filters(forms), SaveLocation::suggest(stem, SaveForms::suffix(forms.front())));
    if (target.path.isEmpty())
        return;
    SaveLocation::remember(target.path);
    const Format format = target.filter >= 0 && target.filter < qsizetype(forms.size())
        ? forms[std::size_t(target.filter)]
        : Format::Raw;
    // What the window holds now, as the user confirmed the file; what arrives
    // from here on is not part of this file.
    m_save = new TrafficSave(log ? log->snapshot() : TrafficSnapshot(), format, target.path, this);
    connect(m_save, &TrafficSave::finished, this, &SaveCommands::onFinished);
    m_save->start();
    QTimer::singleShot(kProgressDelayMs, m_save, [this, title] { showProgress(title); });
}

void SaveCommands::showProgress(const QString &title)
{
    if (m_save && m_save->isRunning())
        (new SaveProgressWindow(*m_save, title, m_window))->show();
}

void SaveCommands::onFinished()
{
    TrafficSave *save = m_save;
    m_save = nullptr;
    if (save->outcome() == TrafficSave::Outcome::Failed) {
        Dialogs::current().message(
            //: %1 is the path, %2 the system's reason
            tr("Die Datei „%1“ kann nicht geschrieben werden: %2. Eine vorhandene "
               "Datei dieses Namens ist unverändert.")
                .arg(QDir::toNativeSeparators(save->path()), save->reason()),
            kApplicationTitle);
    }
    save->deleteLater();
}

bool SaveCommands::mayDropSave()
{
    if (!m_save)
        return true;
    const bool drop = Dialogs::current().question(
        Messages::notFinished(m_save->path(), tr("gespeichert"), m_save->percent(),
            //: What a Yes does, put into "Do you want to %4 anyway?": exit the program
            tr("beenden")),
        kApplicationTitle);
    if (drop)
        cancel();
    return drop;
}

void SaveCommands::cancel()
{
    if (m_save)
        m_save->cancel();
}
