#include "differencesearch.h"

#include "compareerror.h"
#include "contextlayout.h"
#include "finddifference.h"
#include "reportformat.h"

#include <algorithm>
#include <limits>

namespace bFile {

namespace {

const char* const kTask = "the search for a difference";

// "Looking for the next difference ... 40%", then the sink's chance to stop the search.
void ShowPercent(CompareSink& sink, const char* what, std::uint64_t done, std::uint64_t total)
{
    const std::uint64_t percent = done / (total / 100 + 1);
    sink.ShowProgress(std::string(what) + " ... " + bVarious::DecimalNumber(percent) + "%");
    if (sink.StopRequested())
        throw CompareStopped();
}

std::optional<std::uint64_t> Search(const DifferenceSearch& search, std::uint64_t from,
                                    bool forward, CompareSink& sink)
{
    InputFile files[2] = {InputFile(1, search.path1, kTask, search.open),
                          InputFile(2, search.path2, kTask, search.open)};
    for (InputFile& file : files)
        file.Open();
    const ContextLayout layout(files[0].Length(), files[1].Length(), search.offset1, search.offset2,
                               search.alignment);
    // The stretch lined up at one shift that holds `from` or comes next, and the edit that
    // ends it on the search's side: the bytes only one file holds count as one difference, at
    // their file-1 position. Edits after file 1's end have no byte of file 1 to show.
    std::size_t index = layout.EditsBefore(from, !forward);
    while (!forward && index > 0 && layout.Edit(index - 1).position1 >= layout.Length(1))
        --index;
    const LinedStretch lined = layout.Lined(index);
    std::optional<std::uint64_t> edit;
    if (forward && index < layout.EditCount())
        edit = layout.Edit(index).position1;
    else if (!forward && index > 0)
        edit = layout.Edit(index - 1).position1;
    if (edit && *edit >= layout.Length(1))
        edit.reset();

    // The stretch of file 1 to search, [begin, end).
    const std::uint64_t linedEnd = lined.position + lined.count;
    std::uint64_t begin = lined.position, end = linedEnd;
    if (forward)
        begin = std::max(begin, from);
    else if (from < std::numeric_limits<std::uint64_t>::max())
        end = std::min(end, from + 1);

    std::optional<std::uint64_t> found;
    if (begin < end) {
        const std::uint64_t total = end - begin;
        const auto blockSize = static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max<std::size_t>(search.blockSize, 1), total));
        unsigned char* blocks[2] = {files[0].AllocateBlock(blockSize),
                                    files[1].AllocateBlock(blockSize)};
        const char* what =
            forward ? "Looking for the next difference" : "Looking for the previous difference";
        for (std::uint64_t done = 0; done < total && !found;) {
            ShowPercent(sink, what, done, total);
            const auto size =
                static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, total - done));
            // Forward the blocks follow one another from begin, backward from end.
            const std::uint64_t at = forward ? begin + done : end - done - size;
            files[0].ReadAt(at, blocks[0], size);
            files[1].ReadAt(at - lined.position + lined.position2, blocks[1], size);
            const std::size_t index = forward ? FindDifference(blocks[0], blocks[1], 0, size)
                                              : FindLastDifference(blocks[0], blocks[1], 0, size);
            if (index < size)
                found = at + index;
            done += size;
        }
    }
    for (const InputFile& file : files)
        file.CheckUnchanged();
    return found ? found : edit;
}

} // namespace

std::optional<std::uint64_t> FindNextDifference(const DifferenceSearch& search, std::uint64_t from,
                                                CompareSink& sink)
{
    return Search(search, from, true, sink);
}

std::optional<std::uint64_t> FindPreviousDifference(const DifferenceSearch& search,
                                                    std::uint64_t from, CompareSink& sink)
{
    return Search(search, from, false, sink);
}

} // namespace bFile
