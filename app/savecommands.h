#pragma once

#include "traffic/trafficexport.h"
#include "traffic/trafficsave.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <vector>

class TrafficLog;
class QWidget;

// "&Empfangene Daten speichern" and "&Gesendete Daten speichern": the user
// picks a file and a form, and what the window holds at that moment is
// written in the background (TrafficSave) while data keep arriving. A save
// that takes longer than half a second shows a progress window with
// "Abbrechen". One save runs at a time.
class SaveCommands : public QObject
{
    Q_OBJECT

public:
    // The logs as the windows hold them now; nullptr when a window is not
    // loaded, which saves an empty file.
    using LogSource = std::function<const TrafficLog *()>;

    SaveCommands(LogSource received, LogSource sent, QWidget *window);
    ~SaveCommands() override;

    void saveReceived();
    void saveSent();

    // The save under way, if any.
    TrafficSave *running() const { return m_save; }
    // Asks before the program ends a save still under way; true when nothing
    // is under way or the user gives it up (it is then cancelled).
    bool mayDropSave();
    // Gives a running save up; an old file of its name stays as it was.
    void cancel();

    // How long a save runs before its progress window shows.
    static constexpr int kProgressDelayMs = 500;

private:
    // forms: those the dialog offers, the first chosen and named in the
    // suggested file name.
    void save(const TrafficLog *log, const QString &title, const QString &stem,
        const std::vector<TrafficExport::Format> &forms);
    void showProgress(const QString &title);
    void onFinished();

    LogSource m_received;
    LogSource m_sent;
    QWidget *m_window = nullptr;
    QPointer<TrafficSave> m_save;
};
