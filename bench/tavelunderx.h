#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// The real tavel executable on an X server, driven as a user drives it:
// keys through xdotool, its settings file beside it in a folder of its own
// (none at first, so every window takes its default place). Nothing of the
// program is changed or linked: what it costs is what a user's machine pays.
class TavelUnderX
{
public:
    TavelUnderX(const QString &executable, const QString &display);
    ~TavelUnderX();
    TavelUnderX(const TavelUnderX &) = delete;
    TavelUnderX &operator=(const TavelUnderX &) = delete;

    // Starts the program with COM1 and COM2 on these devices, waits for its
    // main window and connects with the settings window's "Verbindung
    // herstellen" (F8, Alt+H); true once COM1 is open.
    bool startConnected(const QString &com1, const QString &com2);
    qint64 pid() const { return m_process.processId(); }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    quint32 mainWindow() const { return m_window; }
    QString errorString() const { return m_error; }

    // Brings the received-data window to the front (F7) and closes it with
    // its "&Schließen" button (Alt+S), which hides it and keeps it loaded.
    void hideReceivedWindow();
    // The main window minimised as a window manager would; empty or what failed.
    QString minimise();

private:
    QByteArray xdotool(const QStringList &arguments, int timeoutMs = 10000);
    void key(const QString &keys);
    bool hasOpen(const QString &device) const;

    QString m_executable;
    QString m_display;
    QTemporaryDir m_folder;
    QProcess m_process;
    quint32 m_window = 0;
    QString m_error;
};
