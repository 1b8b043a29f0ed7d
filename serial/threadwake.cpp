#include "threadwake.h"

#include <chrono>
#include <csignal>
#include <mutex>
#include <pthread.h>

namespace {

int wakeSignal()
{
    return SIGRTMIN + 4;
}

} // namespace

void ThreadWake::prepare()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        ::sigaction(wakeSignal(), &action, nullptr);
    });
}

void ThreadWake::stopAndJoin(std::thread &thread, const std::atomic<bool> &finished)
{
    if (!thread.joinable())
        return;
    while (!finished) {
        ::pthread_kill(thread.native_handle(), wakeSignal());
        for (int i = 0; i < 50 && !finished; ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    thread.join();
}
