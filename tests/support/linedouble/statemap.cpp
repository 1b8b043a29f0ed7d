#include "statemap.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// One mapped state file. The mappings form a list from the newest, so that
// every one stays reachable: a leak checker in the program under test would
// report one that was only dropped.
struct Mapping
{
    char *path;
    LineDoubleState *state;
    Mapping *older;
};

std::atomic<Mapping *> g_newest { nullptr };

// Through the system calls themselves: open() and close() of this library
// are the interposed ones.
LineDoubleState *mapFile(const char *path)
{
    const int fd = int(::syscall(SYS_openat, AT_FDCWD, path, O_RDWR | O_CLOEXEC));
    if (fd < 0)
        return nullptr;
    struct stat info = {};
    void *memory = MAP_FAILED;
    if (::fstat(fd, &info) == 0 && info.st_size >= off_t(LineDoubleState::kFileSize))
        memory = ::mmap(
            nullptr, LineDoubleState::kFileSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::syscall(SYS_close, fd);
    if (memory == MAP_FAILED)
        return nullptr;
    auto *state = static_cast<LineDoubleState *>(memory);
    if (state->magic != LineDoubleState::kMagic) {
        ::munmap(memory, LineDoubleState::kFileSize);
        return nullptr;
    }
    return state;
}

} // namespace

LineDoubleState *mappedLineDoubleState()
{
    const char *path = std::getenv("TAVEL_LINE_DOUBLE");
    if (!path || !*path)
        return nullptr;
    Mapping *newest = g_newest.load(std::memory_order_acquire);
    for (Mapping *mapping = newest; mapping; mapping = mapping->older) {
        if (std::strcmp(mapping->path, path) == 0)
            return mapping->state;
    }
    LineDoubleState *state = mapFile(path);
    auto *mapping = static_cast<Mapping *>(std::malloc(sizeof(Mapping)));
    char *copy = ::strdup(path);
    if (!state || !mapping || !copy) {
        if (state)
            ::munmap(state, LineDoubleState::kFileSize);
        std::free(mapping);
        std::free(copy);
        return nullptr;
    }
    *mapping = Mapping { copy, state, newest };
    // Two threads that map the same new path at once both publish theirs;
    // that costs one page, not a wrong answer, as both map the same file.
    while (!g_newest.compare_exchange_weak(
        mapping->older, mapping, std::memory_order_release, std::memory_order_acquire)) { }
    return state;
}

bool isPtySlave(int fd)
{
    // UNIX98_PTY_SLAVE_MAJOR and the seven majors after it (linux/major.h).
    struct stat info = {};
    return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && ::major(info.st_rdev) >= 136
        && ::major(info.st_rdev) <= 143;
}
