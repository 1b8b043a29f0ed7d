#pragma once

#include <atomic>
#include <thread>

// Wakes a thread of the port layer out of a driver call that may wait for
// ever (TIOCMIWAIT until a line changes, TIOCSBRK until the output has
// drained): a signal whose handler does nothing, installed without
// SA_RESTART, makes the call return EINTR. A signal sent just before the
// thread enters the call is lost, so it is sent again until the thread says
// it has finished.
namespace ThreadWake {

// Installs the handler once; call before starting a thread that will be woken.
void prepare();
// Wakes the thread until finished is true, then joins it.
void stopAndJoin(std::thread &thread, const std::atomic<bool> &finished);

} // namespace ThreadWake
