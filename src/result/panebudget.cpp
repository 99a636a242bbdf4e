#include "panebudget.h"

#include <algorithm>
#include <climits>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace bVarious {

namespace {

// Bytes of physical memory, or 0 when the system does not tell.
qint64 PhysicalMemory()
{
#ifdef Q_OS_WIN
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    return GlobalMemoryStatusEx(&status) ? qint64(status.ullTotalPhys) : 0;
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : 0;
#endif
}

} // namespace

qint64 DefaultPaneBudget()
{
    // Without a number, assume a small machine of 2 GiB.
    const qint64 memory = PhysicalMemory() > 0 ? PhysicalMemory() : qint64(2) << 30;
    // Every character costs at least two bytes: a budget of twice INT_MAX less a margin for
    // the lines written between two checks keeps positions within an int.
    constexpr qint64 kPositionsLimit = 2 * (qint64(INT_MAX) - (qint64(64) << 20));
    return std::min(memory / 4, kPositionsLimit);
}

} // namespace bVarious
