#include "xvfbserver.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

XvfbServer::~XvfbServer()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
}

bool XvfbServer::start()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        m_error = QStringLiteral("Xvfb is missing (tools/install-deps xvfb xauth xdotool)");
        return false;
    }
    // -displayfd: the server takes a free display and writes its number once
    // it accepts clients.
    m_server.start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
            QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp") });
    if (!m_server.waitForStarted(10000)) {
        m_error = m_server.errorString();
        return false;
    }
    QDeadlineTimer deadline(10000);
    while (!m_server.canReadLine() && !deadline.hasExpired())
        m_server.waitForReadyRead(100);
    const QByteArray number = m_server.readLine().trimmed();
    if (number.isEmpty()) {
        m_error = QStringLiteral("Xvfb named no display");
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number);
    return true;
}
