#pragma once

#include "contextlayout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bFile {

// One column of a row: each file's byte there, when the file has one.
struct ContextCell
{
    std::array<bool, 2> present = {false, false};
    std::array<std::uint8_t, 2> value = {0, 0};
    // The byte present is one that only its file holds, as a realigning comparison found it.
    bool edited = false;

    // Both files have a byte here and the bytes differ.
    bool Differs() const { return present[0] && present[1] && value[0] != value[1]; }
};

// One row of the context view, for both files.
struct ContextRow
{
    std::uint64_t row = 0;
    std::array<std::optional<std::uint64_t>, 2> label; // as ContextLayout::RowLabel
    std::array<ContextCell, kContextRowBytes> cells;

    bool Differs() const;
};

// The rows from firstRow on, as many of count as the layout has, filled from each file's
// bytes that ContextLayout::Shown names for the same rows.
std::vector<ContextRow> LayRows(const ContextLayout& layout, std::uint64_t firstRow,
                                std::uint64_t count, const unsigned char* bytes1,
                                const unsigned char* bytes2);

// The character a byte shows as: printable ASCII as itself, every other byte as '.'.
char ViewChar(std::uint8_t value);

// Where the parts of a row's text start, in characters, for labels of labelDigits digits.
// A side is the label, a blank, then for each column a mark ('*' for a differing byte, else a
// blank) and two hex digits, two blanks and the characters; three blanks part the sides.
class ContextColumns
{
  public:
    explicit ContextColumns(int labelDigits) : m_labelDigits(labelDigits) {}

    int LabelDigits() const { return m_labelDigits; }
    int Side(int file) const { return (file - 1) * (SideWidth() + 3); }
    // The first hex digit of a column; its mark stands just before.
    int Hex(int file, unsigned column) const
    {
        return Side(file) + m_labelDigits + 2 + 3 * static_cast<int>(column);
    }
    int Char(int file, unsigned column) const
    {
        return Side(file) + m_labelDigits + 3 + 3 * kContextRowBytes + static_cast<int>(column);
    }
    int SideWidth() const { return m_labelDigits + 3 + 4 * kContextRowBytes; }
    int Width() const { return 2 * SideWidth() + 3; }

  private:
    int m_labelDigits;
};

// A row as text, without trailing blanks or a line break:
// "0266603F  41 42*43 ...  AB.C...   0266603F  41 42*58 ...".
std::string RowText(const ContextRow& row, const ContextColumns& columns);

// The line above the rows: "File 1" over file 1's side, "File 2" over file 2's.
std::string HeadingText(const ContextColumns& columns);

} // namespace bFile
