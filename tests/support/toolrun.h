#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

struct ToolRun
{
    int exitCode = -1;
    QByteArray output;
    QByteArray error;
};

// Runs a program to its end; one that does not start says so in `error`.
inline ToolRun runTool(const QString &program, const QStringList &arguments,
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return { -1, {},
            program.toLocal8Bit() + " did not start: " + process.errorString().toLocal8Bit() };
    if (!process.waitForFinished(60000))
        process.kill();
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput(), process.readAllStandardError() };
}
