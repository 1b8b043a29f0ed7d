#include "processsample.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

namespace {

QString procPath(qint64 pid)
{
    return pid > 0 ? QStringLiteral("/proc/%1").arg(pid) : QStringLiteral("/proc/self");
}

// utime and stime, fields 14 and 15; the command name before them may hold
// spaces and parentheses, so the fields are counted from its closing one.
bool readCpu(const QString &folder, double *seconds)
{
    QFile file(folder + QStringLiteral("/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = file.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // fields[0] is field 3 (state); utime is field 14.
    if (fields.size() < 13)
        return false;
    const double ticks = double(fields[11].toLongLong() + fields[12].toLongLong());
    *seconds = ticks / double(::sysconf(_SC_CLK_TCK));
    return true;
}

void addSwitches(const QString &taskFolder, ProcessSample *sample)
{
    QFile file(taskFolder + QStringLiteral("/status"));
    if (!file.open(QIODevice::ReadOnly))
        return; // the thread has just ended
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("voluntary_ctxt_switches:"))
            sample->voluntarySwitches += line.mid(24).trimmed().toLongLong();
        else if (line.startsWith("nonvoluntary_ctxt_switches:"))
            sample->involuntarySwitches += line.mid(27).trimmed().toLongLong();
    }
}

} // namespace

ProcessSample ProcessSample::of(qint64 pid)
{
    ProcessSample sample;
    const QString folder = procPath(pid);
    if (!readCpu(folder, &sample.cpuSeconds))
        return sample;
    const QDir tasks(folder + QStringLiteral("/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        addSwitches(tasks.filePath(task), &sample);
    sample.valid = true;
    return sample;
}
