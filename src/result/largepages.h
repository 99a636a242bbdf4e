#pragma once

#include <QtGlobal>

namespace bVarious {

// Asks the system to back the whole 2 MiB pages inside a freshly allocated, still untouched
// buffer with large pages, where it offers them (Linux with transparent huge pages on request).
// Filling the buffer then maps its memory 2 MiB at a time instead of 4 KiB at a time: for a
// buffer of hundreds of MiB that mapping, not the copying into it, is most of the cost.
// Buffers shorter than a large page and systems without the advice are left as they are.
void AdviseLargePages(void* data, qint64 bytes);

} // namespace bVarious
