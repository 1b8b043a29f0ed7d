#include "modemlines.h"

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <linux/futex.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t OwnLines = TIOCM_DTR | TIOCM_RTS;
// The lines TIOCMIWAIT can wait for, at their LineDoubleState::Count index.
constexpr std::uint32_t CountedLines[LineDoubleState::CountCount]
    = { TIOCM_CTS, TIOCM_DSR, TIOCM_RNG, TIOCM_CD };

std::uint64_t nowNs()
{
    timespec now = {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1000000000u + std::uint64_t(now.tv_nsec);
}

int fail(int error)
{
    errno = error;
    return -1;
}

void record(LineDoubleState &state, std::uint32_t lines)
{
    const std::uint32_t index = state.historyCount.fetch_add(1);
    LineDoubleState::HistoryEntry &entry = state.history[index % LineDoubleState::kHistorySize];
    entry.sequence.store(0);
    entry.lines.store(lines & OwnLines);
    entry.ns.store(nowNs());
    entry.sequence.store(index + 1);
}

// Sets and clears DTR and RTS; a change goes into the history.
void change(LineDoubleState &state, std::uint32_t set, std::uint32_t clear)
{
    std::uint32_t old = state.lines.load();
    std::uint32_t lines;
    do
        lines = (old & ~(clear & OwnLines)) | (set & OwnLines);
    while (!state.lines.compare_exchange_weak(old, lines));
    if ((old ^ lines) & OwnLines)
        record(state, lines);
}

// TIOCMIWAIT: returns once a line in mask has changed since start was
// taken, as the transition counts tell. FUTEX_WAIT ends with EINTR on a
// signal whose handler was installed without SA_RESTART and is restarted by
// the kernel otherwise, just as the real ioctl.
int waitUntilChanged(LineDoubleState &state, std::uint32_t mask,
    const std::uint32_t (&start)[LineDoubleState::CountCount])
{
    for (;;) {
        const std::uint32_t seen = state.changes.load();
        for (int i = 0; i < LineDoubleState::CountCount; ++i) {
            if ((mask & CountedLines[i]) && state.icount[i].load() != start[i])
                return 0;
        }
        // Not FUTEX_PRIVATE_FLAG: the test wakes from another process.
        if (::syscall(SYS_futex, &state.changes, FUTEX_WAIT, seen, nullptr, nullptr, 0) != 0
            && errno == EINTR)
            return -1;
    }
}

// The counts are taken before waiters goes up, so that a test that sees the
// waiter and then changes a line always wakes it.
int waitForChange(LineDoubleState &state, std::uint32_t mask)
{
    std::uint32_t start[LineDoubleState::CountCount];
    for (int i = 0; i < LineDoubleState::CountCount; ++i)
        start[i] = state.icount[i].load();
    state.waiters.fetch_add(1);
    const int result = waitUntilChanged(state, mask, start);
    state.waiters.fetch_sub(1);
    return result;
}

int counts(LineDoubleState &state, void *arg)
{
    auto *counts = static_cast<serial_icounter_struct *>(arg);
    if (!counts)
        return fail(EFAULT);
    *counts = {};
    counts->cts = int(state.icount[LineDoubleState::CtsCount].load());
    counts->dsr = int(state.icount[LineDoubleState::DsrCount].load());
    counts->rng = int(state.icount[LineDoubleState::RngCount].load());
    counts->dcd = int(state.icount[LineDoubleState::DcdCount].load());
    return 0;
}

// Only a change of the break state counts: a second TIOCSBRK while the break
// is on starts none.
void setBreak(LineDoubleState &state, bool on)
{
    const std::uint64_t now = nowNs();
    if (on && state.breakOn.exchange(1) == 0) {
        state.lastBreakSetNs.store(now);
        state.breakCount.fetch_add(1);
    } else if (!on && state.breakOn.exchange(0) == 1) {
        state.lastBreakClearNs.store(now);
        state.lastBreakLengthNs.store(now - state.lastBreakSetNs.load());
    }
}

} // namespace

namespace ModemLines {

bool isModemRequest(unsigned long request)
{
    switch (request) {
    case TIOCMGET:
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC:
    case TIOCMIWAIT:
    case TIOCGICOUNT:
    case TIOCSBRK:
    case TIOCCBRK:
        return true;
    default:
        return false;
    }
}

int answer(LineDoubleState &state, unsigned long request, void *arg)
{
    if (const int error = state.refuse.load())
        return fail(error);
    if (const int error = state.refuseWait.load(); error != 0 && request == TIOCMIWAIT)
        return fail(error);
    auto *bits = static_cast<int *>(arg);
    switch (request) {
    case TIOCMGET:
        if (!bits)
            return fail(EFAULT);
        *bits = int(state.lines.load());
        return 0;
    case TIOCMSET:
    case TIOCMBIS:
    case TIOCMBIC: {
        if (!bits)
            return fail(EFAULT);
        const auto value = std::uint32_t(*bits);
        change(state, request == TIOCMBIC ? 0 : value,
            request == TIOCMBIS ? 0 : (request == TIOCMSET ? ~value : value));
        return 0;
    }
    case TIOCMIWAIT:
        // The mask comes by value, not behind a pointer.
        return waitForChange(state, std::uint32_t(reinterpret_cast<std::uintptr_t>(arg)));
    case TIOCGICOUNT:
        return counts(state, arg);
    case TIOCSBRK:
    case TIOCCBRK:
        setBreak(state, request == TIOCSBRK);
        return 0;
    default:
        return fail(ENOTTY);
    }
}

void portOpened(LineDoubleState &state, bool raise)
{
    state.openNs.store(nowNs());
    if (raise)
        change(state, OwnLines, 0);
}

void portHungUp(LineDoubleState &state)
{
    change(state, 0, OwnLines);
}

} // namespace ModemLines
