#pragma once

#include "alignment.h"
#include "comparesink.h"
#include "inputfile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace bFile {

// The two files and the alignment a search for a difference works at: file 2 lined up with
// file 1 as a comparison from these offsets lines them up, through the edits of a realigning
// one (see ContextLayout).
struct DifferenceSearch
{
    std::string path1;
    std::string path2;
    std::uint64_t offset1 = 0;
    std::uint64_t offset2 = 0;
    // Bytes read from each file at a time; the search holds two such blocks.
    std::size_t blockSize = 256 * 1024;
    FileOpener open = OpenFileSource;
    std::shared_ptr<const Alignment> alignment = nullptr;
};

// The file-1 position of the first byte at or after `from` where the files differ; nothing
// when none does. Only positions where both files have a byte count, and the edits of the
// alignment, each at its file-1 position (an insertion at the byte it comes before). The files are
// read in blocks, whatever their size; after each block the sink shows the progress ("Looking for
// the next difference ... 40%") and may stop the search (StopRequested, then
// CompareStopped). Throws CompareError when a file fails or changes during the search.
std::optional<std::uint64_t> FindNextDifference(const DifferenceSearch& search, std::uint64_t from,
                                                CompareSink& sink);

// The same for the last byte at or before `from`, reading the files backwards.
std::optional<std::uint64_t> FindPreviousDifference(const DifferenceSearch& search,
                                                    std::uint64_t from, CompareSink& sink);

} // namespace bFile
