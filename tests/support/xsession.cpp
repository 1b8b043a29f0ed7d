#include "xsession.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTest>

XSession::~XSession()
{
    if (m_xvfb.state() == QProcess::NotRunning)
        return;
    m_xvfb.terminate();
    m_xvfb.waitForFinished(5000);
}

QString XSession::missingTools()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return QStringLiteral("Xvfb and xdotool are needed (./test installs them)");
    return {};
}

bool XSession::start()
{
    // Xvfb picks a free display itself and writes its number to stdout.
    m_xvfb.start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
            QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp") });
    if (!m_xvfb.waitForStarted(10000))
        return false;
    QDeadlineTimer deadline(10000);
    while (!m_xvfb.canReadLine() && !deadline.hasExpired())
        m_xvfb.waitForReadyRead(100);
    m_display = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine().trimmed());
    return m_display.size() > 1;
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    return env;
}

void XSession::startProgram(
    QProcess &process, const QString &program, const QString &com1, const QString &com2) const
{
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("TAVEL_COM1"), com1);
    env.insert(QStringLiteral("TAVEL_COM2"), com2);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, {});
}

QByteArray XSession::xdotool(const QStringList &arguments, int timeoutMs) const
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(timeoutMs))
        tool.kill();
    return tool.readAllStandardOutput().trimmed();
}

void XSession::key(const QString &keys) const
{
    xdotool(QStringList { QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60") }
        + keys.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    QTest::qWait(300);
}

void XSession::type(const QString &text) const
{
    xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text });
    QTest::qWait(300);
}

void XSession::focus(const QByteArray &window) const
{
    xdotool({ QStringLiteral("windowfocus"), QString::fromLatin1(window) });
    QTest::qWait(300);
}

QList<QByteArray> XSession::windows(const QString &title, bool sync) const
{
    QStringList arguments { QStringLiteral("search") };
    if (sync)
        arguments << QStringLiteral("--sync");
    arguments << QStringLiteral("--onlyvisible") << QStringLiteral("--name")
              << QLatin1Char('^') + title + QLatin1Char('$');
    const QByteArray found = xdotool(arguments, sync ? 20000 : 10000);
    return found.isEmpty() ? QList<QByteArray>() : found.split('\n');
}

QByteArray XSession::waitForWindow(const QString &title) const
{
    return xdotool({ QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
                       QLatin1Char('^') + title + QLatin1Char('$') },
        20000)
        .split('\n')
        .value(0);
}

bool XSession::saveThroughDialog(const QByteArray &mainWindow, const QString &menuKeys,
    const QString &title, const QString &path) const
{
    focus(mainWindow);
    key(menuKeys);
    const QList<QByteArray> dialog = windows(title, true);
    if (dialog.isEmpty())
        return false;
    focus(dialog.constLast());
    // The name field holds the suggested name, selected: typing replaces it.
    key(QStringLiteral("ctrl+a"));
    type(path);
    key(QStringLiteral("Return"));
    return true;
}
