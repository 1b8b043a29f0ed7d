#include "ser2netserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

bool Ser2NetServer::isInstalled()
{
    return !QStandardPaths::findExecutable(
        QStringLiteral("ser2net"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin") })
                .isEmpty();
}

bool Ser2NetServer::start(const QString &device, const QProcessEnvironment &environment)
{
    m_device = device;
    m_environment = environment;
    m_telnetPort = freePort();
    m_rawPort = freePort();
    return launch();
}

bool Ser2NetServer::restart()
{
    stop();
    return launch();
}

bool Ser2NetServer::launch()
{
    // The file must say it is YAML, or ser2net reads the older format. The
    // device is opened only while a client is connected.
    const QString config = QStringLiteral("%YAML 1.1\n---\n"
                                          "connection: &telnet\n"
                                          "    accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n"
                                          "    connector: serialdev,%3,9600n81,local\n"
                                          "connection: &raw\n"
                                          "    accepter: tcp,127.0.0.1,%2\n"
                                          "    connector: serialdev,%3,9600n81,local\n")
                               .arg(m_telnetPort)
                               .arg(m_rawPort)
                               .arg(m_device);
    QFile file(m_folder.filePath(QStringLiteral("ser2net.yaml")));
    if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) != config.size()) {
        m_error = file.errorString();
        return false;
    }
    file.close();
    m_process.setProcessEnvironment(m_environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // -n: in the foreground; -u: no lock files in /var/lock.
    m_process.start(QStringLiteral("ser2net"),
        { QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"), file.fileName(),
            QStringLiteral("-P"), m_folder.filePath(QStringLiteral("ser2net.pid")) });
    if (!m_process.waitForStarted(5000)) {
        m_error = m_process.errorString();
        return false;
    }
    // Asked of the kernel rather than by connecting: a connection makes
    // ser2net open the device.
    const QDeadlineTimer deadline(5000);
    while (!isListening(m_telnetPort) || !isListening(m_rawPort)) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running) {
            m_error = QStringLiteral("ser2net did not start listening");
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

void Ser2NetServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    // ser2net ignores SIGTERM after a configuration error; then it is killed.
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool Ser2NetServer::waitUntilIdle(int timeoutMs) const
{
    const QString folder = QStringLiteral("/proc/%1/fd").arg(m_process.processId());
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        bool holds = false;
        for (const QFileInfo &fd : QDir(folder).entryInfoList(QDir::System | QDir::NoDotAndDotDot))
            holds = holds || fd.symLinkTarget() == m_device;
        if (!holds)
            return true;
        QThread::msleep(5);
    }
    return false;
}

quint16 Ser2NetServer::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool Ser2NetServer::isListening(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // 0A is LISTEN.
        if (fields.size() > 3 && fields.at(1).endsWith(local) && fields.at(3) == "0A")
            return true;
    }
    return false;
}
