#pragma once

#include "compareerror.h"
#include "comparesink.h"
#include "filesource.h"
#include "findshift.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace bFile {

// What a finished run counted; the command line turns it into its exit status.
struct CompareSummary
{
    std::uint64_t changed = 0;
    std::uint64_t locations = 0;
    // A realigning comparison's stretches only one file holds: how many, and their bytes.
    std::uint64_t insertions = 0; // only in file 2
    std::uint64_t inserted = 0;
    std::uint64_t removals = 0; // only in file 1
    std::uint64_t removed = 0;

    bool Same() const { return changed == 0 && insertions == 0 && removals == 0; }
};

// Compares file 1 from offset1 with file 2 from offset2, byte by byte, and writes the
// difference report through the sink. Throws CompareError when a file fails, CompareStopped
// when the sink asks to stop, and whatever the sink throws; the lines written up to then stay
// written, followed by a note of where the run stopped instead of a summary.
CompareSummary CompareFiles(const std::string& path1, const std::string& path2,
                            std::uint64_t offset1, std::uint64_t offset2, bool byLines,
                            bool withChars, CompareSink& sink);

// How the engine reads. The defaults suit real files; tests make blocks small so that short
// files cross block boundaries, and open files through a wrapper that fails on purpose.
struct CompareOptions
{
    // Bytes read from each file at a time; memory use stays at twice this, whatever the size.
    std::size_t blockSize = 256 * 1024;
    std::function<std::unique_ptr<FileSource>(const std::string& path)> openFile = OpenFileSource;
    // Regions of the difference map given to the sink (see DifferenceMap); 0 keeps none.
    std::size_t mapRegions = 0;
    // Follow the files through bytes inserted into or removed from either (see
    // realign.h), up to shiftWindow bytes at a time, and compare both ranges to their ends.
    bool realign = false;
    std::uint64_t shiftWindow = kDefaultShiftWindow;
};

CompareSummary CompareFiles(const std::string& path1, const std::string& path2,
                            std::uint64_t offset1, std::uint64_t offset2, bool byLines,
                            bool withChars, CompareSink& sink, const CompareOptions& options);

} // namespace bFile
