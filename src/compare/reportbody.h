#pragma once

#include "comparesink.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace bFile {

// The body of the difference report: one line per differing byte (Normal), or rows of up to
// 16 consecutive differing bytes with one hex row per file (By lines), each followed by its
// char row when characters are asked for. Lines are built in fixed buffers, without
// allocating.
class ReportBody
{
  public:
    ReportBody(CompareSink& sink, bool byLines, bool withChars);

    // One differing byte: index counts from the start offsets, position1 is its place in
    // file 1. A row that reaches 16 bytes is written at once.
    void AddByte(std::uint64_t index, std::uint64_t position1, std::uint8_t byte1,
                 std::uint8_t byte2);

    // A run ended, or the comparison did: writes the row being built, if any.
    void EndRow();

  private:
    static constexpr std::size_t kRowBytes = 16;
    struct Line
    {
        // A 17-digit label, then per byte at most two blanks and a 3-byte character.
        char text[24 + kRowBytes * 5];
        std::size_t size = 0;
    };
    // One file's share of a By lines row: its hex line, then its char line.
    struct FileRow
    {
        Line hex;
        Line chars;
    };

    void WriteNormalLine(std::uint64_t position1, std::uint8_t byte1, std::uint8_t byte2);
    void AddToRow(std::uint64_t index, std::uint8_t byte1, std::uint8_t byte2);
    void WriteLine(const Line& line);

    CompareSink& m_sink;
    bool m_byLines;
    bool m_withChars;
    std::size_t m_rowFill = 0;
    std::array<FileRow, 2> m_row; // file 1, file 2
};

} // namespace bFile
