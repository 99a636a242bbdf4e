#pragma once

#include "comparefiles.h"
#include "comparesink.h"
#include "shiftsearch.h"

#include <cstddef>
#include <cstdint>

namespace bFile {

// A stretch of differing bytes sets off the search for a shift once it holds this many.
inline constexpr std::size_t kRealignTrigger = 32;
// Equal bytes that count: after a shift, as many as the files must agree for (or up to the
// end of both); after a difference, as many as end a stretch of differing bytes and tell
// that the files agree again.
inline constexpr std::size_t kRealignAgreement = 32;
// How far each shift is compared at most: the longest agreement wins up to this length, and
// among shifts that agree that far the smallest. Long enough that padding and other repeats
// inside an inserted stretch do not pass for the data after it; short enough that in data
// that looks the same at any shift (zeros) two insertions a few KiB apart stay two.
inline constexpr std::size_t kRealignCompareLimit = 4 * 1024;

// The body of a realigning comparison of file 1 from start1 and file 2 from start2, each to
// its file's end, written through the sink like a plain comparison's (the same byte lines,
// rows, locations, progress and question), and how it counted. The rules:
//
// - The files are compared position by position at the current alignment. A stretch of
//   differing bytes begins at a differing byte and holds every differing byte after it up to
//   kRealignAgreement equal bytes in a row; equal bytes fewer than that inside it are equal
//   bytes as always.
// - When the stretch holds kRealignTrigger differing bytes, or either file ends while it
//   holds any, the shift is searched for (SearchShift, the window from the options, the
//   agreement above as the minimum stretch, the compare limit above): first from the
//   stretch's first byte; when nothing is found there, from the position after its last
//   differing byte, unless a file ends there.
// - A shift found, its edit begins at the earliest position of the stretch from which the
//   files agree at the new alignment up to where the search found them agreeing: the
//   stretch's differing bytes before it are reported as changed, then the bytes only one file
//   holds as one line (OnlyInFileLine), and the walk goes on at the new alignment from there.
// - No shift found, the stretch's bytes are reported as changed, and no stretch sets off a
//   search until the files have agreed for kRealignAgreement bytes in a row or the walk has
//   gone a window's length past where the search failed.
// - When one file ends, whatever the other holds after it is one line of bytes only in that
//   file.
//
// On an early end (a stop, a failure, what the sink throws) it writes what it compared, the
// row being built and the stop note, and passes the exception on. Memory: two blocks of the
// options' size and, during a search, about six times the compare limit.
CompareSummary RealignBody(const SearchedFile& file1, std::uint64_t start1,
                           const SearchedFile& file2, std::uint64_t start2, bool byLines,
                           bool withChars, CompareSink& sink, const CompareOptions& options);

} // namespace bFile
