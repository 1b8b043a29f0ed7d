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

bool readSwitches(const QString &taskFolder, ProcessSample::Switches *switches)
{
    QFile file(taskFolder + QStringLiteral("/status"));
    if (!file.open(QIODevice::ReadOnly))
        return false; // the thread has just ended
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("voluntary_ctxt_switches:"))
            switches->voluntary = line.mid(24).trimmed().toLongLong();
        else if (line.startsWith("nonvoluntary_ctxt_switches:"))
            switches->involuntary = line.mid(27).trimmed().toLongLong();
        else if (line.startsWith("Name:"))
            switches->name = line.mid(5).trimmed();
    }
    return true;
}

} // namespace

ProcessSample ProcessSample::of(qint64 pid)
{
    ProcessSample sample;
    const QString folder = procPath(pid);
    if (!readCpu(folder, &sample.cpuSeconds))
        return sample;
    const QDir tasks(folder + QStringLiteral("/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        Switches switches;
        if (readSwitches(tasks.filePath(task), &switches))
            sample.threads.insert(task.toLongLong(), switches);
    }
    sample.valid = true;
    return sample;
}

ProcessSample::Switches ProcessSample::switchesSince(const ProcessSample &earlier) const
{
    Switches since;
    for (const Switches &thread : threadSwitchesSince(earlier)) {
        since.voluntary += thread.voluntary;
        since.involuntary += thread.involuntary;
    }
    return since;
}

QList<ProcessSample::Switches> ProcessSample::threadSwitchesSince(
    const ProcessSample &earlier) const
{
    QList<Switches> result;
    for (auto it = threads.cbegin(); it != threads.cend(); ++it) {
        const Switches before = earlier.threads.value(it.key());
        const Switches since { it->voluntary - before.voluntary,
            it->involuntary - before.involuntary, it->name };
        if (since.voluntary > 0 || since.involuntary > 0)
            result.append(since);
    }
    return result;
}
