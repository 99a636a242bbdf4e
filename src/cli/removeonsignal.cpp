#include "removeonsignal.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<const char*> pathToRemove{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free, "read in a signal handler");

// Only async-signal-safe calls here.
extern "C" void RemoveAndExit(int signal)
{
    if (const char* path = pathToRemove.load())
        unlink(path);
    _exit(128 + signal);
}

void InstallHandlers()
{
    struct sigaction action
    {
    };
    action.sa_handler = RemoveAndExit;
    // A second signal waits until the first one has removed the file.
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals)
        sigaddset(&action.sa_mask, signal);
    for (const int signal : kSignals) {
        struct sigaction previous
        {
        };
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

} // namespace

void RemoveOnSignal(const char* path)
{
    // Installing again changes nothing, and keeps an ignored signal ignored.
    if (path != nullptr)
        InstallHandlers();
    pathToRemove.store(path);
}
