#include "linedouble.h"

#include "linedouble/linedoublestate.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/futex.h>
#include <new>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int FarLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;
// At their LineDoubleState::Count index.
constexpr int CountedLines[LineDoubleState::CountCount]
    = { TIOCM_CTS, TIOCM_DSR, TIOCM_RNG, TIOCM_CAR };

LineDoubleState *createState(const QString &path, QString &error)
{
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    void *memory = MAP_FAILED;
    if (fd >= 0 && ::ftruncate(fd, off_t(LineDoubleState::kFileSize)) == 0)
        memory = ::mmap(
            nullptr, LineDoubleState::kFileSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    error = memory == MAP_FAILED ? qt_error_string(errno) : QString();
    if (fd >= 0)
        ::close(fd);
    if (memory == MAP_FAILED)
        return nullptr;
    auto *state = new (memory) LineDoubleState {};
    state->magic = LineDoubleState::kMagic;
    return state;
}

} // namespace

LineDouble::LineDouble()
{
    if (!m_dir.isValid()) {
        m_error = m_dir.errorString();
        return;
    }
    m_path = m_dir.filePath(QStringLiteral("lines"));
    m_state = createState(m_path, m_error);
}

LineDouble::~LineDouble()
{
    // The library in this process keeps its own mapping; it passes
    // everything through again once the variable is gone.
    if (m_inThisProcess && qgetenv("TAVEL_LINE_DOUBLE") == QFile::encodeName(m_path))
        qunsetenv("TAVEL_LINE_DOUBLE");
    if (m_state)
        ::munmap(m_state, LineDoubleState::kFileSize);
}

QString LineDouble::libraryPath()
{
    return QStringLiteral(TAVEL_LINE_DOUBLE_LIBRARY);
}

// Whether ioctl() in this process is the library's.
bool LineDouble::isPreloaded()
{
    Dl_info info = {};
    void *ioctlAddress = ::dlsym(RTLD_DEFAULT, "ioctl");
    return ioctlAddress && ::dladdr(ioctlAddress, &info) && info.dli_fname
        && QFile::decodeName(info.dli_fname) == libraryPath();
}

qint64 LineDouble::monotonicNs()
{
    timespec now = {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool LineDouble::setHangUpOnClose(const QString &slavePath, bool on)
{
    // Through the system calls themselves, past the library's open() and
    // close() where it is preloaded.
    const int fd = int(::syscall(SYS_openat, AT_FDCWD, QFile::encodeName(slavePath).constData(),
        O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd < 0)
        return false;
    struct termios settings = {};
    bool done = ::tcgetattr(fd, &settings) == 0;
    if (done) {
        settings.c_cflag = on ? settings.c_cflag | HUPCL : settings.c_cflag & ~tcflag_t(HUPCL);
        done = ::tcsetattr(fd, TCSANOW, &settings) == 0;
    }
    ::syscall(SYS_close, fd);
    return done;
}

QProcessEnvironment LineDouble::environment(QProcessEnvironment base) const
{
    const QString preload = base.value(QStringLiteral("LD_PRELOAD"));
    if (!preload.contains(libraryPath()))
        base.insert(QStringLiteral("LD_PRELOAD"),
            preload.isEmpty() ? libraryPath() : libraryPath() + QLatin1Char(':') + preload);
    const QString asan = base.value(QStringLiteral("ASAN_OPTIONS"));
    const QString noOrderCheck = QStringLiteral("verify_asan_link_order=0");
    if (!asan.contains(noOrderCheck))
        base.insert(QStringLiteral("ASAN_OPTIONS"),
            asan.isEmpty() ? noOrderCheck : asan + QLatin1Char(':') + noOrderCheck);
    base.insert(QStringLiteral("TAVEL_LINE_DOUBLE"), m_path);
    return base;
}

void LineDouble::useInThisProcess()
{
    qputenv("TAVEL_LINE_DOUBLE", QFile::encodeName(m_path));
    m_inThisProcess = true;
}

void LineDouble::setFarLines(int tiocmBits)
{
    if (!m_state)
        return;
    std::uint32_t old = m_state->lines.load();
    std::uint32_t lines;
    do
        lines = (old & ~std::uint32_t(FarLines)) | std::uint32_t(tiocmBits & FarLines);
    while (!m_state->lines.compare_exchange_weak(old, lines));
    for (int i = 0; i < LineDoubleState::CountCount; ++i) {
        if ((old ^ lines) & std::uint32_t(CountedLines[i]))
            m_state->icount[i].fetch_add(1);
    }
    // Non-private, as the waiters are in the program's process.
    m_state->changes.fetch_add(1);
    ::syscall(SYS_futex, &m_state->changes, FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

int LineDouble::lines() const
{
    return m_state ? int(m_state->lines.load()) : 0;
}

bool LineDouble::dtr() const
{
    return lines() & TIOCM_DTR;
}

bool LineDouble::rts() const
{
    return lines() & TIOCM_RTS;
}

// An entry whose sequence is not its own is being written or has been
// overwritten since the count was read; it is left out.
QList<LineDouble::LineState> LineDouble::history() const
{
    QList<LineState> states;
    if (!m_state)
        return states;
    const std::uint32_t count = m_state->historyCount.load();
    const std::uint32_t size = LineDoubleState::kHistorySize;
    for (std::uint32_t index = count > size ? count - size : 0; index < count; ++index) {
        const LineDoubleState::HistoryEntry &entry = m_state->history[index % size];
        if (entry.sequence.load() != index + 1)
            continue;
        const LineState state { qint64(entry.ns.load()), int(entry.lines.load()) };
        if (entry.sequence.load() == index + 1)
            states.append(state);
    }
    return states;
}

qint64 LineDouble::openNs() const
{
    return m_state ? qint64(m_state->openNs.load()) : 0;
}

int LineDouble::waiters() const
{
    return m_state ? int(m_state->waiters.load()) : 0;
}

void LineDouble::refuseWith(int error)
{
    if (m_state)
        m_state->refuse.store(error);
}

void LineDouble::refuseWaitWith(int error)
{
    if (m_state)
        m_state->refuseWait.store(error);
}

int LineDouble::breakCount() const
{
    return m_state ? int(m_state->breakCount.load()) : 0;
}

bool LineDouble::breakOn() const
{
    return m_state && m_state->breakOn.load();
}

double LineDouble::lastBreakMs() const
{
    if (!m_state || m_state->lastBreakClearNs.load() == 0)
        return -1;
    return double(m_state->lastBreakLengthNs.load()) / 1e6;
}
