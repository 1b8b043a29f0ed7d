#include "tavelunderx.h"

#include "iconify.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <csignal>

TavelUnderX::TavelUnderX(const QString &executable, const QString &display)
    : m_executable(executable)
    , m_display(display)
{
}

TavelUnderX::~TavelUnderX()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(20000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

bool TavelUnderX::startConnected(const QString &com1, const QString &com2)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        m_error = QStringLiteral("xdotool is missing (tools/install-deps xvfb xauth xdotool)");
        return false;
    }
    // tavel.cfg is kept beside the executable.
    const QString program = m_folder.filePath(QStringLiteral("tavel"));
    if (!QFile::copy(m_executable, program)) {
        m_error = QStringLiteral("cannot copy %1 to %2").arg(m_executable, program);
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TAVEL_COM1"), com1);
    env.insert(QStringLiteral("TAVEL_COM2"), com2);
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_process.setProcessEnvironment(env);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, {});
    if (!m_process.waitForStarted(10000)) {
        m_error = m_process.errorString();
        return false;
    }
    const QByteArray found = xdotool({ QStringLiteral("search"), QStringLiteral("--sync"),
                                         QStringLiteral("--name"), QStringLiteral("^Tavel$") },
        20000)
                                 .split('\n')
                                 .value(0);
    m_window = found.toUInt();
    if (m_window == 0) {
        m_error = QStringLiteral("the main window did not appear");
        return false;
    }
    // No window manager runs here: the focus is given by hand.
    xdotool({ QStringLiteral("windowfocus"), QString::number(m_window) });
    QThread::msleep(500);
    key(QStringLiteral("F8"));
    key(QStringLiteral("alt+h"));
    const QString device = QFileInfo(com1).canonicalFilePath();
    QDeadlineTimer deadline(10000);
    while (!hasOpen(device) && !deadline.hasExpired())
        QThread::msleep(100);
    if (!hasOpen(device)) {
        m_error = QStringLiteral("COM1 (%1) did not open").arg(device);
        return false;
    }
    return true;
}

void TavelUnderX::hideReceivedWindow()
{
    xdotool({ QStringLiteral("windowfocus"), QString::number(m_window) });
    key(QStringLiteral("F7"));
    key(QStringLiteral("alt+s"));
}

QString TavelUnderX::minimise()
{
    return iconifyWindow(m_display, m_window);
}

QByteArray TavelUnderX::xdotool(const QStringList &arguments, int timeoutMs)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(timeoutMs))
        tool.kill();
    return tool.readAllStandardOutput().trimmed();
}

void TavelUnderX::key(const QString &keys)
{
    xdotool({ QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60"), keys });
    QThread::msleep(300);
}

bool TavelUnderX::hasOpen(const QString &device) const
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(m_process.processId()));
    for (const QString &fd :
        fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == device)
            return true;
    }
    return false;
}
