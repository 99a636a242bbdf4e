#include "findshift.h"

#include "compareerror.h"
#include "finddifference.h"
#include "inputfile.h"
#include "reportformat.h"
#include "shiftsearch.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace bFile {

namespace {

// "Looking for the shift ... 40%": the text, and how far the work has come.
void ShowPercent(CompareSink& sink, const char* what, std::uint64_t done, std::uint64_t total)
{
    const std::uint64_t percent = total == 0 ? 100 : done / (total / 100 + 1);
    sink.ShowProgress(std::string(what) + " ... " + bVarious::DecimalNumber(percent) + "%");
    if (sink.StopRequested())
        throw CompareStopped();
}

// The index, counted from the offsets, of the first position where the files differ, or
// count when they agree over all count positions.
std::uint64_t FirstDifference(InputFile& file1, InputFile& file2, std::uint64_t offset1,
                              std::uint64_t offset2, std::uint64_t count, std::size_t blockSize,
                              CompareSink& sink)
{
    const auto size = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max<std::size_t>(blockSize, 1), count));
    unsigned char* const block1 = file1.AllocateBlock(size);
    unsigned char* const block2 = file2.AllocateBlock(size);
    for (std::uint64_t start = 0; start < count;) {
        ShowPercent(sink, "Looking for the first difference", start, count);
        const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(size, count - start));
        file1.ReadAt(offset1 + start, block1, part);
        file2.ReadAt(offset2 + start, block2, part);
        const std::size_t at = FindDifference(block1, block2, 0, part);
        if (at < part)
            return start + at;
        start += part;
    }
    return count;
}

} // namespace

ShiftResult FindShift(const std::string& path1, const std::string& path2, std::uint64_t offset1,
                      std::uint64_t offset2, CompareSink& sink, const ShiftOptions& options)
{
    ShiftResult result;
    result.window = options.window;
    result.minimumStretch = options.minimumStretch;

    InputFile file1(1, path1, "the search for a shift", options.openFile);
    InputFile file2(2, path2, "the search for a shift", options.openFile);
    file1.Open();
    file2.Open();
    // As in a comparison, an offset past the end starts at the file's first byte.
    if (offset1 > file1.Length())
        offset1 = 0;
    if (offset2 > file2.Length())
        offset2 = 0;
    const std::uint64_t count = std::min(file1.Length() - offset1, file2.Length() - offset2);

    sink.ShowStatus("Looking for the first difference ...");
    const std::uint64_t index =
        FirstDifference(file1, file2, offset1, offset2, count, options.blockSize, sink);
    result.difference1 = offset1 + index;
    result.difference2 = offset2 + index;
    const auto checked = [&]() -> ShiftResult {
        file1.CheckUnchanged();
        file2.CheckUnchanged();
        return result;
    };
    if (index == count) {
        result.outcome = ShiftOutcome::NoDifference;
        return checked();
    }

    sink.ShowStatus("Looking for the shift ...");
    const auto searched = [](InputFile& file) {
        return SearchedFile{[&file](std::uint64_t position, unsigned char* into,
                                    std::size_t count) { file.ReadAt(position, into, count); },
                            file.Length()};
    };
    ShiftSearchLimits limits;
    limits.window = options.window;
    limits.minimumStretch = options.minimumStretch;
    limits.compareLimit = options.compareLimit;
    limits.blockSize = options.blockSize;
    limits.progress = [&sink](std::uint64_t done, std::uint64_t total) {
        ShowPercent(sink, "Looking for the shift", done, total);
    };
    const ShiftMatch best = SearchShift(searched(file1), result.difference1, searched(file2),
                                        result.difference2, limits);
    if (best.sign == 0) {
        result.outcome = ShiftOutcome::NotFound;
        return checked();
    }

    result.outcome = ShiftOutcome::Found;
    result.offset1 = result.difference1 + (best.sign < 0 ? best.magnitude : 0);
    result.offset2 = result.difference2 + (best.sign > 0 ? best.magnitude : 0);
    result.shift = best.sign * static_cast<std::int64_t>(best.magnitude);
    result.equalLength = best.length;
    result.lengthIsLowerBound =
        best.length == std::clamp<std::size_t>(options.compareLimit, 1, std::size_t{1} << 30) &&
        result.offset1 + best.length < file1.Length() &&
        result.offset2 + best.length < file2.Length();
    result.ambiguous = best.ambiguous;
    return checked();
}

} // namespace bFile
