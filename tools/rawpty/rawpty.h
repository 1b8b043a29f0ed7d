#pragma once

#include <string>

// A pseudo-terminal for playing a serial device: both ends raw, so that bytes
// pass unchanged (a fresh pty translates CR and LF and echoes), the master
// non-blocking. Plain POSIX, shared by the device simulator, the tests and
// the benchmarks.
struct RawPty
{
    int master = -1;
    int slave = -1;
    std::string slavePath;
};

// Opens a new pair; on failure closes what it opened, returns false and
// leaves errno as the system set it.
bool openRawPty(RawPty &pty);
void closeRawPty(RawPty &pty);
