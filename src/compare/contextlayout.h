#pragma once

#include "alignment.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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

// Where file 1's bytes are lined up with file 2's at one shift: count positions of file 1 from
// position, beside file 2's from position2.
struct LinedStretch
{
    std::uint64_t position = 0;
    std::uint64_t count = 0;
    std::uint64_t position2 = 0;
};

// How the context view lays two files out side by side, in rows of kContextRowBytes bytes.
// File 2 is shown at the position of file 1 plus the shift of the comparison (offset 2 minus
// offset 1), so the rows line up as the comparison compared the bytes; an offset past its
// file's end counts as 0, as in a comparison. Rows start a whole number of rows away from
// offset 1 in file 1, so that the first compared byte starts a row. The rows run from the
// first byte of either file to the last byte of either.
//
// After a realigning comparison the layout follows its alignment: the bytes of each edit
// stand in rows of their own, beside empty cells of the file that lacks them, and after it the
// files go on lined up at the new shift. Every lookup is a binary search over the edits.
//
// Files are numbered 1 and 2; file positions count from each file's first byte. Lengths
// below 2^63 (the most a file system holds) are assumed.
class ContextLayout
{
  public:
    // Two empty files.
    ContextLayout() = default;
    ContextLayout(std::uint64_t length1, std::uint64_t length2, std::uint64_t offset1,
                  std::uint64_t offset2, std::shared_ptr<const Alignment> alignment = nullptr);

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

    // Whether a column of a row shows the bytes of an edit, which only one file holds.
    bool InEdit(std::uint64_t row, unsigned column) const;

    // The first of file's positions shown at or after a column of a row; Length(file) when
    // none is.
    std::uint64_t PositionFrom(int file, std::uint64_t row, unsigned column) const;

    // The label of a row's side: the file position of its first column. When that column
    // shows none of the file's bytes, the first byte the row shows, unless that is the file's
    // first byte or there is none (nothing then).
    std::optional<std::uint64_t> RowLabel(int file, std::uint64_t row) const;

    // The bytes of a file that count rows from firstRow show (count 0 when they show none).
    FileStretch Shown(int file, std::uint64_t firstRow, std::uint64_t count) const;

    // The edits the layout follows (none without an alignment), and whether the alignment
    // was cut short of the comparison's.
    std::size_t EditCount() const { return m_alignment ? m_alignment->Edits().size() : 0; }
    const AlignmentEdit& Edit(std::size_t index) const { return m_alignment->Edits()[index]; }
    bool AlignmentCut() const { return m_alignment && m_alignment->Cut(); }
    // How many edits begin at or before (before, when `through` is false) a position of file 1.
    std::size_t EditsBefore(std::uint64_t position1, bool through) const;

    // Where both files have bytes at one shift: between the files' starts and the first edit
    // (index 0), between two edits, or between the last edit and the files' ends (index
    // EditCount()).
    LinedStretch Lined(std::size_t index) const;

    // Whether a file-1 position can be asked for: that of one of file 1's bytes, or 0.
    bool Holds(std::uint64_t position1) const { return position1 < m_length[0] || position1 == 0; }

    // Hex digits of the widest label: 8, more past 4 GiB.
    int LabelDigits() const;

  private:
    // The view position of a file's byte, also of one past its end.
    std::uint64_t ViewOf(int file, std::uint64_t position) const;
    // The first of a file's positions at or after a view position (its length when none is),
    // and whether its byte stands at that view position.
    struct Located
    {
        std::uint64_t position;
        bool present;
    };
    Located Locate(int file, std::uint64_t view) const;

    // Before the first edit a file's byte p sits at view position p + m_lead[file - 1]; each
    // edit moves the file that lacks its bytes on by its count. Row r shows view positions
    // r * kContextRowBytes to the next row's.
    std::uint64_t m_length[2] = {0, 0};
    std::uint64_t m_lead[2] = {0, 0};
    std::uint64_t m_rows = 1;
    std::shared_ptr<const Alignment> m_alignment;
};

// Why a position that ContextLayout::Holds refuses cannot be shown: "Position 0x2000 lies past
// the end of file 1, whose last byte is at 0xFFF."
std::string PositionPastEndText(std::uint64_t position1, std::uint64_t length1);

} // namespace bFile
