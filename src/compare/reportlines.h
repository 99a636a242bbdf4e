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

// The last line of a report whose run ended early (a stop, a failure): "Comparison stopped at
// 0x1A56FEAC.", with the position in file 1 of the first byte that was not compared.
std::string StoppedLine(std::uint64_t position1);

// The summary, with the empty line before it: "\r\n3 bytes changed, 2 locations".
std::string SummaryText(std::uint64_t changed, std::uint64_t locations);

} // namespace bFile
