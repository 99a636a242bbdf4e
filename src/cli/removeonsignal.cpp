#include "removeonsignal.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace {

// The signals whose default action ends the program, the real-time ones aside.
constexpr int kEnding[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS, SIGFPE,  SIGUSR1,   SIGSEGV,
    SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGSYS, SIGPROF, SIGVTALRM,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGIO
    SIGIO,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

std::atomic<const char*> pathToRemove{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free, "read in a signal handler");
// Set before any handler is installed.
pid_t ownProcess = 0;

// Only async-signal-safe calls here.
extern "C" void RemoveAndEnd(int signal, siginfo_t* info, void*)
{
    // The kernel sends SIGXFSZ for a write past the limit as if this process had sent it.
    if (signal == SIGXFSZ && info != nullptr && info->si_pid == ownProcess)
        return;
    if (const char* path = pathToRemove.load())
        unlink(path);
    // The signal is blocked in here: raised again at its default action, it ends the program
    // as soon as the handler returns, and the parent learns which signal it was.
    struct sigaction fallback
    {
    };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

// Calls visit with each signal whose default action ends the program.
template <typename Visit> void ForEachEndingSignal(Visit visit)
{
    for (const int signal : kEnding)
        visit(signal);
#ifdef SIGRTMIN
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        visit(signal);
#endif
}

// Catches every ending signal with RemoveAndEnd, each blocking the others while it runs.
void InstallHandlers()
{
    ownProcess = getpid();
    struct sigaction action
    {
    };
    action.sa_sigaction = RemoveAndEnd;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    // A second signal waits until the first one has removed the file.
    sigemptyset(&action.sa_mask);
    ForEachEndingSignal([&](int signal) { sigaddset(&action.sa_mask, signal); });
    ForEachEndingSignal([&](int signal) {
        struct sigaction previous
        {
        };
        if (sigaction(signal, nullptr, &previous) == 0 && !(previous.sa_flags & SA_SIGINFO) &&
            previous.sa_handler == SIG_DFL)
            sigaction(signal, &action, nullptr);
    });
}

} // namespace

void RemoveOnSignal(const char* path)
{
    static const bool installed = (InstallHandlers(), true);
    (void)installed;
    pathToRemove.store(path);
}
