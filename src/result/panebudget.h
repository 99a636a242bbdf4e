#pragma once

#include <QtGlobal>

namespace bVarious {

// What one report line costs the result pane besides its text (two bytes a character): its
// share of the document's blocks, layout and bookkeeping, measured on reports of millions
// of lines.
constexpr qint64 kPaneBytesPerLine = 70;

// The memory a report in the pane may take: a quarter of the machine's physical memory, and
// never so much that the pane's character positions would no longer fit in an int.
qint64 DefaultPaneBudget();

} // namespace bVarious
