#pragma once

#include <QProcess>
#include <QString>

// A virtual X server (Xvfb) for the run, on a display it picks itself. Unlike
// the offscreen platform it makes the program do everything a desktop makes
// it do: connect, upload each frame and wait for the server, which does its
// own share of the drawing work in a process of its own.
class XvfbServer
{
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // false, with errorString(), when Xvfb is missing or does not come up.
    bool start();
    QString display() const { return m_display; }
    qint64 pid() const { return m_server.processId(); }
    QString errorString() const { return m_error; }

private:
    QProcess m_server;
    QString m_display;
    QString m_error;
};
