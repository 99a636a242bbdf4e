#include "contextlayout.h"

#include "reportformat.h"

#include <algorithm>

namespace bFile {

namespace {

constexpr std::uint64_t kRow = kContextRowBytes;

// What must be added to value to reach the next whole row.
std::uint64_t ToWholeRow(std::uint64_t value)
{
    return (kRow - value % kRow) % kRow;
}

} // namespace

ContextLayout::ContextLayout(std::uint64_t length1, std::uint64_t length2, std::uint64_t offset1,
                             std::uint64_t offset2)
    : m_length{length1, length2}
{
    if (offset1 > length1)
        offset1 = 0;
    if (offset2 > length2)
        offset2 = 0;
    // The file that starts later in the view is led by the shift; both by the padding that
    // makes offset 1 start a row.
    if (offset2 >= offset1) {
        const std::uint64_t pad = ToWholeRow(offset2);
        m_lead[0] = offset2 - offset1 + pad;
        m_lead[1] = pad;
    } else {
        const std::uint64_t pad = ToWholeRow(offset1);
        m_lead[0] = pad;
        m_lead[1] = offset1 - offset2 + pad;
    }
    const std::uint64_t end = std::max(m_lead[0] + length1, m_lead[1] + length2);
    m_rows = std::max<std::uint64_t>(1, end / kRow + (end % kRow != 0 ? 1 : 0));
}

std::uint64_t ContextLayout::RowOf(int file, std::uint64_t position) const
{
    const std::uint64_t length = Length(file);
    const std::uint64_t last = length == 0 ? 0 : std::min(position, length - 1);
    return std::min((last + m_lead[file - 1]) / kRow, m_rows - 1);
}

unsigned ContextLayout::ColumnOf(int file, std::uint64_t position) const
{
    const std::uint64_t length = Length(file);
    const std::uint64_t last = length == 0 ? 0 : std::min(position, length - 1);
    return static_cast<unsigned>((last + m_lead[file - 1]) % kRow);
}

std::optional<std::uint64_t> ContextLayout::PositionAt(int file, std::uint64_t row,
                                                       unsigned column) const
{
    const std::uint64_t at = row * kRow + column;
    const std::uint64_t lead = m_lead[file - 1];
    if (at < lead || at - lead >= Length(file))
        return std::nullopt;
    return at - lead;
}

std::optional<std::uint64_t> ContextLayout::RowLabel(int file, std::uint64_t row) const
{
    return PositionAt(file, row, 0);
}

FileStretch ContextLayout::Shown(int file, std::uint64_t firstRow, std::uint64_t count) const
{
    const std::uint64_t lead = m_lead[file - 1];
    const std::uint64_t from = std::max(firstRow * kRow, lead);
    const std::uint64_t to = std::min((firstRow + count) * kRow, lead + Length(file));
    if (from >= to)
        return {};
    return {from - lead, to - from};
}

FileStretch ContextLayout::Common() const
{
    const std::uint64_t from = std::max(m_lead[0], m_lead[1]);
    const std::uint64_t to = std::min(m_lead[0] + m_length[0], m_lead[1] + m_length[1]);
    if (from >= to)
        return {};
    return {from - m_lead[0], to - from};
}

int ContextLayout::LabelDigits() const
{
    const std::uint64_t longest = std::max(m_length[0], m_length[1]);
    const auto digits =
        static_cast<int>(bVarious::HexNumber(longest == 0 ? 0 : longest - 1).size());
    return std::max(digits, 8);
}

std::string PositionPastEndText(std::uint64_t position1, std::uint64_t length1)
{
    const std::string start =
        "Position 0x" + bVarious::HexNumber(position1) + " lies past the end of file 1, ";
    if (length1 == 0)
        return start + "which is empty.";
    return start + "whose last byte is at 0x" + bVarious::HexNumber(length1 - 1) + ".";
}

} // namespace bFile
