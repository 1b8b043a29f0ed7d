#pragma once

#include <QtGlobal>

// What the kernel counts for a running process, read from /proc: the CPU time
// of all its threads (finished ones included) and how often its threads were
// switched off the processor. A voluntary switch is a thread going to sleep,
// so each one stands for a later wake-up.
struct ProcessSample
{
    double cpuSeconds = 0; // user and system, from /proc/<pid>/stat
    qint64 voluntarySwitches = 0; // summed over /proc/<pid>/task/*/status
    qint64 involuntarySwitches = 0;
    bool valid = false;

    // pid 0 reads the calling process.
    static ProcessSample of(qint64 pid);
};
