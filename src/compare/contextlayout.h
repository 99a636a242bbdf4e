#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace bFile {

// Bytes of each file a row of the context view shows.
inline constexpr unsigned kContextRowBytes = 16;

// A stretch of one file: count bytes from position on.
struct FileStretch
{
    std::uint64_t position = 0;
    std::uint64_t count = 0;
};

// How the context view lays two files out side by side, in rows of kContextRowBytes bytes.
// File 2 is shown at the position of file 1 plus the shift of the comparison (offset 2 minus
// offset 1), so the rows line up as the comparison compared the bytes; an offset past its
// file's end counts as 0, as in a comparison. Rows start a whole number of rows away from
// offset 1 in file 1, so that the first compared byte starts a row. The rows run from the
// first byte of either file to the last byte of either.
//
// Files are numbered 1 and 2; file positions count from each file's first byte. Lengths
// below 2^63 (the most a file system holds) are assumed.
class ContextLayout
{
  public:
    // Two empty files.
    ContextLayout() = default;
    ContextLayout(std::uint64_t length1, std::uint64_t length2, std::uint64_t offset1,
                  std::uint64_t offset2);

    std::uint64_t Length(int file) const { return m_length[file - 1]; }

    // At least one row, also for two empty files.
    std::uint64_t RowCount() const { return m_rows; }

    // The row and column showing a file position; a position past the file's end counts as
    // its last byte's, and any position of an empty file as the one its first byte would take.
    std::uint64_t RowOf(int file, std::uint64_t position) const;
    unsigned ColumnOf(int file, std::uint64_t position) const;

    // The position of file's byte in a column of a row; nothing when the column lies before
    // the file's first byte or after its last.
    std::optional<std::uint64_t> PositionAt(int file, std::uint64_t row, unsigned column) const;

    // The label of a row's side: the file position of its first column; nothing when that
    // column shows none of the file's bytes.
    std::optional<std::uint64_t> RowLabel(int file, std::uint64_t row) const;

    // The bytes of a file that count rows from firstRow show (count 0 when they show none).
    FileStretch Shown(int file, std::uint64_t firstRow, std::uint64_t count) const;

    // Where both files have bytes at this alignment: count positions from `position` in file
    // 1, lined up with file 2's from position + shift.
    FileStretch Common() const;
    // The file-2 position lined up with a file-1 position of the common stretch.
    std::uint64_t Position2(std::uint64_t position1) const
    {
        return position1 + m_lead[0] - m_lead[1];
    }

    // Whether a file-1 position can be asked for: that of one of file 1's bytes, or 0.
    bool Holds(std::uint64_t position1) const { return position1 < m_length[0] || position1 == 0; }

    // Hex digits of the widest label: 8, more past 4 GiB.
    int LabelDigits() const;

  private:
    // A file's byte p sits at view position p + m_lead[file - 1]; row r shows view positions
    // r * kContextRowBytes to the next row's.
    std::uint64_t m_length[2] = {0, 0};
    std::uint64_t m_lead[2] = {0, 0};
    std::uint64_t m_rows = 1;
};

// Why a position that ContextLayout::Holds refuses cannot be shown: "Position 0x2000 lies past
// the end of file 1, whose last byte is at 0xFFF."
std::string PositionPastEndText(std::uint64_t position1, std::uint64_t length1);

} // namespace bFile
