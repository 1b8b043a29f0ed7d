#pragma once

#include <QByteArrayList>
#include <QString>
#include <cstdint>
#include <sys/types.h>

// Follows a child process through its system calls (ptrace) and holds it at
// the entry of each call that would change something in one folder: a file
// opened for writing or created, written, cut, renamed, linked or removed.
// Such a call has not run yet when the process is held, so a SIGKILL there
// leaves the folder exactly as the calls before it made it. Killing at each
// of these points in turn reaches every state the process can leave the
// folder in, in an order set by the process's own calls rather than by the
// clock, so a loaded machine changes nothing.
//
// Only the thread that was attached is followed; the program under test does
// its saving on its one thread.
class FolderChangeTracer
{
public:
    enum class Step { HeldAtChange, Ended, Failed };

    explicit FolderChangeTracer(const QString &folder);
    // A process not yet ended is killed and reaped, so that a failed test
    // leaves no stopped program behind.
    ~FolderChangeTracer();
    FolderChangeTracer(const FolderChangeTracer &) = delete;
    FolderChangeTracer &operator=(const FolderChangeTracer &) = delete;

    // Starts a program (arguments[0]) with the environment given and holds
    // it stopped before its exec, so that attach() is sure to come before
    // anything it does; its standard output goes to the file at output,
    // its input is empty, its error output goes nowhere. -1 when it did not
    // start.
    static pid_t spawnHeld(
        const QByteArrayList &arguments, const QByteArrayList &environment, const QString &output);
    // Takes hold of a running child and stops it; false with the reason. The
    // child is killed with the tracer either way. A child from spawnHeld is
    // let go on and followed from its exec on.
    bool attach(pid_t pid, QString &problem);
    // Lets the process run to the entry of its next change in the folder and
    // holds it there; Ended when it ended first (see exitStatus()), Failed
    // when tracing failed (problem() says why).
    Step runToNextChange();
    // The call held at, as "renameat tavel.cfg.AbCdEf → tavel.cfg".
    QString change() const { return m_change; }
    // Kills the held process (the call it is held at never runs) and reaps it.
    void kill();

    int exitStatus() const { return m_status; }
    QString problem() const { return m_problem; }

private:
    bool isChange(std::uint64_t number, const std::uint64_t *args);
    QString pathArgument(int directoryFd, std::uint64_t address) const;
    QString fdPath(int fd) const;
    QString relative(const QString &path) const;
    void end(int status);

    QString m_folder;
    pid_t m_pid = -1;
    bool m_ended = false;
    int m_status = 0;
    int m_pendingSignal = 0;
    QString m_change;
    QString m_problem;
};
