#pragma once

#include "referencecompare.h"

#include <cstddef>
#include <string>

// Runs the real engine on a reference request and tells where the two disagree.
namespace lumatra::reference {

// Puts the request's bytes at path1 and path2 and runs the engine with the given block size.
// On disk, the engine reads the files; otherwise the files only get their length (sparse)
// and the engine reads the described bytes through its opening seam, which is much
// cheaper for tiny blocks and the only way for long ones. The engine's CompareError passes
// through.
Result RunEngine(const Request& request, std::size_t blockSize, bool onDisk);

// Runs the engine on the request (in memory) with a sink that keeps its stretches as runs
// records, and applies them to file 1's compared range. Empty when that gives file 2's,
// every record starts where the one before ended, and the context view's layout through the
// run's edits shows each file's bytes in order, side by side where the records pair them;
// else an account of the first fault.
std::string RunsDifference(const Request& request, std::size_t blockSize);

// Empty when both runs agree in every call, line and count; else a readable account of the
// first difference.
std::string FirstDifference(const Result& engine, const Result& reference);

} // namespace lumatra::reference
