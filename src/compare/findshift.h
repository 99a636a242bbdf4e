#pragma once

#include "comparesink.h"
#include "filesource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace bFile {

// How far Find Shift looks each way unless told otherwise: 1 MiB.
inline constexpr std::uint64_t kDefaultShiftWindow = std::uint64_t{1} << 20;

enum class ShiftOutcome {
    Found,        // a shift lines the files up again
    NotFound,     // no shift within the window gives a long enough equal stretch
    NoDifference, // the ranges agree up to the end of the shorter one: nothing to line up
};

// What Find Shift found. Positions are file positions, counted from each file's first byte.
struct ShiftResult
{
    ShiftOutcome outcome = ShiftOutcome::NotFound;
    // Where the files first differ from the start offsets (an offset past its file's end
    // counts as 0, as in a comparison).
    std::uint64_t difference1 = 0;
    std::uint64_t difference2 = 0;
    // Found: where the lined-up data starts in each file, to be used as the new offsets.
    std::uint64_t offset1 = 0;
    std::uint64_t offset2 = 0;
    // Found: how much later file 2's data lies than before; negative when file 1 holds the
    // extra bytes.
    std::int64_t shift = 0;
    // Found: how many bytes agree from the new offsets on. When lengthIsLowerBound, the
    // files were compared only that far and may agree for longer.
    std::uint64_t equalLength = 0;
    bool lengthIsLowerBound = false;
    // Found: another shift gives an equal stretch as long (the data repeats); the smallest
    // one was taken.
    bool ambiguous = false;
    // How far the search looked each way and the shortest stretch it accepted.
    std::uint64_t window = 0;
    std::uint64_t minimumStretch = 0;
};

struct ShiftOptions
{
    // The largest shift tried, either way.
    std::uint64_t window = kDefaultShiftWindow;
    // A shift counts when the files agree after it for at least this many bytes, or up to
    // the end of both files.
    std::uint64_t minimumStretch = 32;
    // How far each shift is compared at most; it bounds the memory (about six times this).
    std::size_t compareLimit = 64 * 1024;
    // Bytes read from a file at a time.
    std::size_t blockSize = 256 * 1024;
    std::function<std::unique_ptr<FileSource>(const std::string& path)> openFile = OpenFileSource;
};

// Looks for the shift after which the two files agree again: starting at the offsets, it
// finds the first differing position, then tries every shift up to the window either way
// and keeps the one whose equal stretch is longest (on a tie the smallest shift, an
// insertion into file 2 before one into file 1). Progress goes through the sink's
// ShowStatus and ShowProgress; after each progress text the sink may stop the search
// (StopRequested, then CompareStopped), as it stops a comparison. Throws CompareError when a
// file fails.
ShiftResult FindShift(const std::string& path1, const std::string& path2, std::uint64_t offset1,
                      std::uint64_t offset2, CompareSink& sink,
                      const ShiftOptions& options = ShiftOptions{});

} // namespace bFile
