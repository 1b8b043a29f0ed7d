#pragma once

#include <QByteArray>
#include <QHash>
#include <QtGlobal>

// What the kernel counts for a running process, read from /proc: the CPU time
// of all its threads (finished ones included) and how often its threads were
// switched off the processor. A voluntary switch is a thread going to sleep,
// so each one stands for a later wake-up.
struct ProcessSample
{
    struct Switches
    {
        qint64 voluntary = 0;
        qint64 involuntary = 0;
        QByteArray name; // the thread's name, from comm
    };

    double cpuSeconds = 0; // user and system, from /proc/<pid>/stat
    QHash<qint64, Switches> threads; // from /proc/<pid>/task/<tid>/status
    bool valid = false;

    // pid 0 reads the calling process.
    static ProcessSample of(qint64 pid);

    // The switches of the threads alive now since the earlier sample. A
    // thread that ended in between takes its count with it (the kernel keeps
    // no total), which is why this is not a difference of two sums.
    Switches switchesSince(const ProcessSample &earlier) const;
    // The same per thread, named, for threads that switched at all.
    QList<Switches> threadSwitchesSince(const ProcessSample &earlier) const;
};
