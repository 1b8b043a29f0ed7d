#include "folderchangetracer.h"

#include "filehelpers.h"

#include <QByteArrayView>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Where a call names a file: a directory descriptor (or the working folder
// when directoryArg is -1) and a path.
struct PathArg
{
    int directoryArg = -1;
    int pathArg = -1;
};

struct ChangeCall
{
    long number = -1;
    const char *name = "";
    int fdArg = -1; // a call on an open file
    PathArg paths[2];
    int flagsArg = -1; // an open changes nothing unless it may write or create
};

constexpr ChangeCall onFd(long number, const char *name, int fdArg)
{
    return { number, name, fdArg, {}, -1 };
}

constexpr ChangeCall onPaths(
    long number, const char *name, PathArg first, PathArg second = {}, int flagsArg = -1)
{
    return { number, name, -1, { first, second }, flagsArg };
}

// The calls that change what a later reader of the folder finds. Syncing and
// closing change nothing there, so a kill before them leaves the same state
// as one before the next change.
const ChangeCall kChangeCalls[] = {
    onFd(SYS_write, "write", 0),
    onFd(SYS_writev, "writev", 0),
    onFd(SYS_pwrite64, "pwrite64", 0),
    onFd(SYS_pwritev, "pwritev", 0),
    onFd(SYS_pwritev2, "pwritev2", 0),
    onFd(SYS_ftruncate, "ftruncate", 0),
    onFd(SYS_fallocate, "fallocate", 0),
    onFd(SYS_copy_file_range, "copy_file_range", 2),
    onFd(SYS_sendfile, "sendfile", 0),
    onPaths(SYS_openat, "openat", { 0, 1 }, {}, 2),
    onPaths(SYS_openat2, "openat2", { 0, 1 }),
    onPaths(SYS_truncate, "truncate", { -1, 0 }),
    onPaths(SYS_unlinkat, "unlinkat", { 0, 1 }),
    onPaths(SYS_mkdirat, "mkdirat", { 0, 1 }),
    onPaths(SYS_mknodat, "mknodat", { 0, 1 }),
    onPaths(SYS_renameat2, "renameat2", { 0, 1 }, { 2, 3 }),
    onPaths(SYS_linkat, "linkat", { 0, 1 }, { 2, 3 }),
    onPaths(SYS_symlinkat, "symlinkat", { 1, 2 }),
#ifdef SYS_open
    onPaths(SYS_open, "open", { -1, 0 }, {}, 1),
    onPaths(SYS_creat, "creat", { -1, 0 }),
    onPaths(SYS_unlink, "unlink", { -1, 0 }),
    onPaths(SYS_rmdir, "rmdir", { -1, 0 }),
    onPaths(SYS_mkdir, "mkdir", { -1, 0 }),
    onPaths(SYS_mknod, "mknod", { -1, 0 }),
    onPaths(SYS_rename, "rename", { -1, 0 }, { -1, 1 }),
    onPaths(SYS_link, "link", { -1, 0 }, { -1, 1 }),
    onPaths(SYS_symlink, "symlink", { -1, 1 }),
#endif
#ifdef SYS_renameat
    onPaths(SYS_renameat, "renameat", { 0, 1 }, { 2, 3 }),
#endif
};

QString readLink(const QByteArray &path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.constData(), target, sizeof target);
    return length > 0 ? QFile::decodeName(QByteArray(target, length)) : QString();
}

} // namespace

FolderChangeTracer::FolderChangeTracer(const QString &folder)
    : m_folder(QFileInfo(folder).canonicalFilePath())
{
}

FolderChangeTracer::~FolderChangeTracer()
{
    kill();
}

pid_t FolderChangeTracer::spawnHeld(
    const QByteArrayList &arguments, const QByteArrayList &environment, const QString &output)
{
    // Everything the child needs is made before the fork: between fork and
    // exec a child of a threaded process may only make plain system calls.
    QByteArrayList strings = arguments + environment;
    std::vector<char *> argv;
    std::vector<char *> envp;
    for (qsizetype i = 0; i < strings.size(); ++i)
        (i < arguments.size() ? argv : envp).push_back(strings[i].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const int out = ::open(
        QFile::encodeName(output).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int nowhere = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (out < 0 || nowhere < 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(nowhere, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(nowhere, STDERR_FILENO);
        ::raise(SIGSTOP);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out);
    ::close(nowhere);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, WUNTRACED) != pid || !WIFSTOPPED(status)) {
        if (pid > 0)
            ::kill(pid, SIGKILL);
        return -1;
    }
    return pid;
}

bool FolderChangeTracer::attach(pid_t pid, QString &problem)
{
    // From here on the child is the tracer's to end, attached or not.
    m_pid = pid;
    // A program held from its start (see the header) still has its exec to
    // make; reported as an event, it does not come as a SIGTRAP that would
    // end the program once passed on.
    const long options = PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL | PTRACE_O_TRACEEXEC;
    if (::ptrace(PTRACE_SEIZE, pid, nullptr, reinterpret_cast<void *>(options)) != 0
        || ::ptrace(PTRACE_INTERRUPT, pid, nullptr, nullptr) != 0) {
        problem = QStringLiteral("ptrace: %1").arg(reasonFor(errno));
        return false;
    }
    int status = 0;
    if (::waitpid(pid, &status, __WALL) != pid) {
        problem = QStringLiteral("waitpid: %1").arg(reasonFor(errno));
        return false;
    }
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
        end(status);
        problem = QStringLiteral("the program ended before it could be held");
        return false;
    }
    // A signal that overtook the interruption is passed on at the first step.
    if (WIFSTOPPED(status) && status >> 16 == 0 && WSTOPSIG(status) != (SIGTRAP | 0x80))
        m_pendingSignal = WSTOPSIG(status);
    // A child held by spawnHeld goes on from its stop when the tracer lets it
    // run; SIGCONT ends the stop for the threads it starts later, too.
    ::kill(pid, SIGCONT);
    return true;
}

FolderChangeTracer::Step FolderChangeTracer::runToNextChange()
{
    while (!m_ended) {
        const auto signal = reinterpret_cast<void *>(intptr_t(std::exchange(m_pendingSignal, 0)));
        if (::ptrace(PTRACE_SYSCALL, m_pid, nullptr, signal) != 0) {
            m_problem = QStringLiteral("ptrace: %1").arg(reasonFor(errno));
            return Step::Failed;
        }
        int status = 0;
        if (::waitpid(m_pid, &status, __WALL) != m_pid) {
            m_problem = QStringLiteral("waitpid: %1").arg(reasonFor(errno));
            return Step::Failed;
        }
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            end(status);
            break;
        }
        if (!WIFSTOPPED(status))
            continue;
        if (WSTOPSIG(status) == (SIGTRAP | 0x80)) {
            __ptrace_syscall_info info = {};
            if (::ptrace(
                    PTRACE_GET_SYSCALL_INFO, m_pid, reinterpret_cast<void *>(sizeof info), &info)
                <= 0) {
                m_problem = QStringLiteral("ptrace: %1").arg(reasonFor(errno));
                return Step::Failed;
            }
            if (info.op == PTRACE_SYSCALL_INFO_ENTRY && isChange(info.entry.nr, info.entry.args))
                return Step::HeldAtChange;
        } else if (status >> 16 == 0) {
            // A signal on its way to the process, SIGTERM among them: deliver it.
            m_pendingSignal = WSTOPSIG(status);
        }
    }
    return Step::Ended;
}

void FolderChangeTracer::kill()
{
    if (m_pid <= 0 || m_ended)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    while (::waitpid(m_pid, &status, __WALL) == m_pid) {
        if (WIFEXITED(status) || WIFSIGNALED(status))
            break;
    }
    end(status);
}

bool FolderChangeTracer::isChange(std::uint64_t number, const std::uint64_t *args)
{
    for (const ChangeCall &call : kChangeCalls) {
        if (number != static_cast<std::uint64_t>(call.number))
            continue;
        const auto inFolder = [this](const QString &path) {
            return path == m_folder || path.startsWith(m_folder + QLatin1Char('/'));
        };
        QStringList names;
        bool touchesFolder = false;
        if (call.fdArg >= 0) {
            const QString path = fdPath(int(args[call.fdArg]));
            touchesFolder = inFolder(path);
            names << relative(path);
        }
        for (const PathArg &arg : call.paths) {
            if (arg.pathArg < 0)
                continue;
            const int directory = arg.directoryArg < 0 ? AT_FDCWD : int(args[arg.directoryArg]);
            const QString path = pathArgument(directory, args[arg.pathArg]);
            touchesFolder = touchesFolder || inFolder(path);
            names << relative(path);
        }
        constexpr std::uint64_t writing = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC;
        if (!touchesFolder || (call.flagsArg >= 0 && !(args[call.flagsArg] & writing)))
            return false;
        m_change
            = QString::fromLatin1(call.name) + QLatin1Char(' ') + names.join(QStringLiteral(" → "));
        return true;
    }
    return false;
}

// The path a call names, made absolute the way the system resolves it.
QString FolderChangeTracer::pathArgument(int directoryFd, std::uint64_t address) const
{
    // Read page by page: the text may end just before memory the process
    // cannot read.
    const std::uint64_t pageSize = unsigned(::sysconf(_SC_PAGESIZE));
    QByteArray bytes;
    while (bytes.size() < PATH_MAX) {
        const std::uint64_t at = address + unsigned(bytes.size());
        char chunk[4096];
        const size_t wanted = size_t(qMin<std::uint64_t>(pageSize - at % pageSize, sizeof chunk));
        iovec local = { chunk, wanted };
        iovec remote = { reinterpret_cast<void *>(at), wanted };
        const ssize_t got = ::process_vm_readv(m_pid, &local, 1, &remote, 1, 0);
        if (got <= 0)
            return {};
        const qsizetype end = QByteArrayView(chunk, got).indexOf('\0');
        bytes.append(chunk, end >= 0 ? end : got);
        if (end >= 0)
            break;
    }
    QString path = QFile::decodeName(bytes);
    if (!path.startsWith(QLatin1Char('/'))) {
        const QString base = directoryFd == AT_FDCWD
            ? readLink("/proc/" + QByteArray::number(m_pid) + "/cwd")
            : fdPath(directoryFd);
        path = base + QLatin1Char('/') + path;
    }
    // The folder may be named through a link (/var/lock for /run/lock); the
    // file itself is left as named, as it may not exist yet.
    const QFileInfo file(QDir::cleanPath(path));
    const QString folder = QFileInfo(file.path()).canonicalFilePath();
    return folder.isEmpty() ? file.filePath() : folder + QLatin1Char('/') + file.fileName();
}

QString FolderChangeTracer::fdPath(int fd) const
{
    return readLink("/proc/" + QByteArray::number(m_pid) + "/fd/" + QByteArray::number(fd));
}

QString FolderChangeTracer::relative(const QString &path) const
{
    if (path == m_folder)
        return QStringLiteral(".");
    return path.startsWith(m_folder + QLatin1Char('/')) ? path.mid(m_folder.size() + 1) : path;
}

void FolderChangeTracer::end(int status)
{
    m_ended = true;
    m_status = status;
}
