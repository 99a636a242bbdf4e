#include "removeonsignal.h"
#include "widepath_windows.h"

#include <atomic>
#include <csignal>
#include <windows.h>

namespace {

std::atomic<const char*> pathToRemove{nullptr};

// Runs on a thread of its own, so it may do what any code may. Ctrl+C and Ctrl+Break end the
// program as SIGINT would, a closed console, a logoff or a shutdown as SIGHUP would.
BOOL WINAPI RemoveAndExit(DWORD event)
{
    if (const char* path = pathToRemove.load())
        DeleteFileW(bFile::WideFromUtf8(path).c_str());
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    ExitProcess(128 + (interrupt ? SIGINT : 1));
}

} // namespace

void RemoveOnSignal(const char* path)
{
    static const bool installed = SetConsoleCtrlHandler(RemoveAndExit, TRUE);
    (void)installed;
    pathToRemove.store(path);
}
