#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// A real X server (Xvfb) for tests that drive the real executable as a user
// does: keys, typing and clicks go through xdotool. No window manager runs,
// so the test gives a window the focus as a click on it would.
class XSession
{
public:
    ~XSession();

    // Why the session cannot run here (Xvfb or xdotool missing); empty when it can.
    static QString missingTools();
    // Starts Xvfb on a display it picks itself.
    bool start();
    // Starts the program against COM1 and COM2 in this session.
    void startProgram(
        QProcess &process, const QString &program, const QString &com1, const QString &com2) const;

    QByteArray xdotool(const QStringList &arguments, int timeoutMs = 10000) const;
    // Keys as xdotool names them; several, one after the other, apart by blanks.
    void key(const QString &keys) const;
    void type(const QString &text) const;
    void focus(const QByteArray &window) const;
    // The visible windows with exactly this title, newest last; with sync,
    // waits up to 20 s for one to appear.
    QList<QByteArray> windows(const QString &title, bool sync = false) const;
    // The first window with exactly this title, shown or not, waited for.
    QByteArray waitForWindow(const QString &title) const;
    // Opens a save dialog with the keys given in the main window, types the
    // path into it and presses Return; false when no dialog with that title
    // appeared.
    bool saveThroughDialog(const QByteArray &mainWindow, const QString &menuKeys,
        const QString &title, const QString &path) const;

private:
    QProcessEnvironment environment() const;

    QProcess m_xvfb;
    QString m_display;
};
