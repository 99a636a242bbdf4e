#pragma once

#include <cstdint>
#include <string>

// The report's lines around its body. Files are numbered 1 and 2.
namespace bFile {

// "File 1: a.bin (8 bytes, Start offset 0x0)"; file 2's line adds the shift between the
// offsets as given. The path is shown as VisibleName shows it.
std::string FileLine(int file, const std::string& path, std::uint64_t length, std::uint64_t offset,
                     std::uint64_t shift);

// "Offset 1 > size of file 1. Offset 1 will be set to 0x0"
std::string OffsetResetLine(int file);

// "Size of file 1 > file 2. End of file 1 will be truncated at 0x31": lastIndex is the common
// last index, counted from the start offsets.
std::string TruncationLine(int longerFile, std::uint64_t lastIndex);

// Written instead of a truncation note when a range holds no byte (a file of length 0, or
// an offset equal to its file's length). emptyFile is 1, 2, or 0 for both.
std::string EmptyRangeLine(int emptyFile, std::uint64_t offset);

// The last line of a report whose run ended early (a stop, a failure), instead of the summary:
// "Comparison stopped at 0x1A56FEAC: 57 bytes changed, 3 locations before it.", with the
// position in file 1 of the first byte that was not compared and what was found before it.
std::string StoppedLine(std::uint64_t position1, std::uint64_t changed, std::uint64_t locations);

// The last line of a report that compared its whole range while a file changed, after the
// summary: "Warning: File 2 (b.bin) changed its size during the comparison; ...". problem is
// the failure's message.
std::string ChangedWarningLine(const std::string& problem);

// The summary, with the empty line before it: "\r\n3 bytes changed, 2 locations".
std::string SummaryText(std::uint64_t changed, std::uint64_t locations);

// The header's note of a realigning comparison, which follows the files through inserted and
// removed stretches of up to `window` bytes and compares each range to its file's end.
std::string RealignNoteLine(std::uint64_t window);

// Bytes that only one file holds, where the other goes on: "0266604F: 85 bytes only in file
// 2, at 0266604F-026660A3 (shift now +0x55)". label is the report's label of the place (a
// position in file 1, or an index for By lines), from and count the stretch in that file;
// shift is how much further file 2's position lies from its start offset than file 1's does
// from its own, after the stretch.
std::string OnlyInFileLine(std::uint64_t label, int file, std::uint64_t from, std::uint64_t count,
                           std::int64_t shift);

// What a realigning comparison's summary adds after the locations: ", 50 insertions (6412
// bytes), 50 removals (7474 bytes)".
std::string RealignedCountsText(std::uint64_t insertions, std::uint64_t inserted,
                                std::uint64_t removals, std::uint64_t removed);

} // namespace bFile
