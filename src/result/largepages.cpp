#include "largepages.h"

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

namespace bVarious {

void AdviseLargePages([[maybe_unused]] void* data, [[maybe_unused]] qint64 bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr quintptr kLargePage = quintptr(2) << 20;
    const quintptr begin = (reinterpret_cast<quintptr>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const quintptr end = (reinterpret_cast<quintptr>(data) + quintptr(bytes)) & ~(kLargePage - 1);
    // Only advice: where the system declines, the buffer works the same with small pages.
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

} // namespace bVarious
