#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's ser2net as a serial server for tests, serving a device the test
// holds (a pty's slave) on 127.0.0.1 only: one port that speaks Telnet with
// the Com Port Control Option (RFC 2217) and one with raw bytes. Started on
// ports of its own, stopped when the object goes.
class Ser2NetServer
{
public:
    Ser2NetServer() = default;
    ~Ser2NetServer() { stop(); }
    Ser2NetServer(const Ser2NetServer &) = delete;
    Ser2NetServer &operator=(const Ser2NetServer &) = delete;

    static bool isInstalled();

    // Starts serving the device and waits until both ports listen.
    bool start(const QString &device,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    void stop();
    // Starts again on the same ports, as a server that comes back.
    bool restart();
    // Waits until ser2net has let go of the device after a client left
    // (it refuses the next client until then).
    bool waitUntilIdle(int timeoutMs = 5000) const;
    quint16 telnetPort() const { return m_telnetPort; }
    quint16 rawPort() const { return m_rawPort; }
    QString errorString() const { return m_error; }

    // Asked of the kernel (/proc/net/tcp) rather than by connecting.
    static bool isListening(quint16 port);
    static quint16 freePort();

private:
    bool launch();

    QString m_device;
    QProcessEnvironment m_environment;
    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_telnetPort = 0;
    quint16 m_rawPort = 0;
    QString m_error;
};
