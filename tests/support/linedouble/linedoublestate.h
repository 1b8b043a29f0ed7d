#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// The modem lines of one pretend UART, shared between a test and the program
// under test: the test creates a file of kFileSize bytes, and both map it
// MAP_SHARED. The preloaded library (linedouble.cpp beside this file) answers
// the program's modem-line ioctls on a pseudo-terminal from here; the test
// plays the far end (LineDouble in tests/support). Plain C++ without Qt, as
// the library is loaded into every process of a test, Qt or not.
//
// Everything is a lock-free atomic, so neither side ever waits on the other
// and a process killed half-way leaves nothing locked.
struct LineDoubleState
{
    static constexpr std::uint32_t kMagic = 0x3142444c; // "LDB1" in memory
    static constexpr std::size_t kFileSize = 4096;
    static constexpr std::uint32_t kHistorySize = 64;
    // The transition counts, in the order struct serial_icounter_struct has them.
    enum Count { CtsCount, DsrCount, RngCount, DcdCount, CountCount };

    // One DTR/RTS state in the history. sequence is the entry's index + 1,
    // written last, so that a reader can tell a finished entry from one being
    // written or already overwritten.
    struct HistoryEntry
    {
        std::atomic<std::uint32_t> sequence;
        std::atomic<std::uint32_t> lines;
        std::atomic<std::uint64_t> ns;
    };

    std::uint32_t magic;
    // TIOCM_* bits: DTR and RTS from the program, CTS, DSR, CAR and RNG from
    // the test.
    std::atomic<std::uint32_t> lines;
    // A futex word (non-private: two processes wait and wake on it), bumped
    // by the test on every change of the far end's lines.
    std::atomic<std::uint32_t> changes;
    std::atomic<std::uint32_t> icount[CountCount];
    // When non-zero, every modem-line and break ioctl fails with this errno,
    // as on a driver that has none of them.
    std::atomic<std::int32_t> refuse;
    // When non-zero, TIOCMIWAIT alone fails with this errno, as on a USB
    // bridge that reads and sets the lines but cannot wait for a change.
    std::atomic<std::int32_t> refuseWait;
    std::atomic<std::uint32_t> breakOn;
    std::atomic<std::uint32_t> breakCount;
    // CLOCK_MONOTONIC nanoseconds, as the test's clock shows them too.
    std::atomic<std::uint64_t> lastBreakSetNs;
    std::atomic<std::uint64_t> lastBreakClearNs;
    // The length of the last break that has ended; a break still on has
    // overwritten lastBreakSetNs already.
    std::atomic<std::uint64_t> lastBreakLengthNs;
    // TIOCMIWAIT calls blocked right now.
    std::atomic<std::uint32_t> waiters;
    std::atomic<std::uint64_t> openNs;
    // Entries historyCount - kHistorySize .. historyCount - 1 are kept, at
    // index % kHistorySize.
    std::atomic<std::uint32_t> historyCount;
    HistoryEntry history[kHistorySize];
};

static_assert(sizeof(LineDoubleState) <= LineDoubleState::kFileSize);
static_assert(std::is_standard_layout_v<LineDoubleState>);
// Shared memory needs atomics that are plain memory words: one that took a
// lock would take it in one process only.
static_assert(std::atomic<std::uint32_t>::is_always_lock_free);
static_assert(std::atomic<std::int32_t>::is_always_lock_free);
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
// The futex system call takes the address of a plain 32-bit word.
static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));
