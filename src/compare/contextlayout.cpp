#include "contextlayout.h"

#include "reportformat.h"

#include <algorithm>
#include <utility>

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
                             std::uint64_t offset2, std::shared_ptr<const Alignment> alignment)
    : m_length{length1, length2}, m_alignment(std::move(alignment))
{
    if (m_alignment && m_alignment->Edits().empty() && !m_alignment->Cut())
        m_alignment.reset();
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
    const std::uint64_t end = std::max(ViewOf(1, length1), ViewOf(2, length2));
    m_rows = std::max<std::uint64_t>(1, end / kRow + (end % kRow != 0 ? 1 : 0));
}

std::uint64_t ContextLayout::ViewOf(int file, std::uint64_t position) const
{
    const std::size_t edits = m_alignment ? m_alignment->EditsThrough(file, position) : 0;
    if (edits == 0)
        return position + m_lead[file - 1];
    const AlignmentEdit& edit = Edit(edits - 1);
    const std::uint64_t view = m_lead[0] + edit.position1 + edit.insertedBefore;
    return view + (position - edit.Position(file)) + (edit.file == file ? 0 : edit.count);
}

ContextLayout::Located ContextLayout::Locate(int file, std::uint64_t view) const
{
    const std::uint64_t length = Length(file);
    const std::size_t edits =
        m_alignment && view >= m_lead[0] ? m_alignment->EditsThroughView(view - m_lead[0]) : 0;
    std::uint64_t position = 0;
    bool present = true;
    if (edits == 0) {
        if (view < m_lead[file - 1])
            return {0, false};
        position = view - m_lead[file - 1];
    } else {
        const AlignmentEdit& edit = Edit(edits - 1);
        const std::uint64_t into = view - (m_lead[0] + edit.position1 + edit.insertedBefore);
        position = edit.Position(file) + into;
        if (edit.file != file) {
            // The file that lacks the edit's bytes goes on after them.
            present = into >= edit.count;
            position = present ? position - edit.count : edit.Position(file);
        }
    }
    if (position >= length)
        return {length, false};
    return {position, present};
}

std::uint64_t ContextLayout::RowOf(int file, std::uint64_t position) const
{
    const std::uint64_t length = Length(file);
    const std::uint64_t last = length == 0 ? 0 : std::min(position, length - 1);
    return std::min(ViewOf(file, last) / kRow, m_rows - 1);
}

unsigned ContextLayout::ColumnOf(int file, std::uint64_t position) const
{
    const std::uint64_t length = Length(file);
    const std::uint64_t last = length == 0 ? 0 : std::min(position, length - 1);
    return static_cast<unsigned>(ViewOf(file, last) % kRow);
}

std::optional<std::uint64_t> ContextLayout::PositionAt(int file, std::uint64_t row,
                                                       unsigned column) const
{
    const Located at = Locate(file, row * kRow + column);
    if (!at.present)
        return std::nullopt;
    return at.position;
}

bool ContextLayout::InEdit(std::uint64_t row, unsigned column) const
{
    const std::uint64_t view = row * kRow + column;
    if (!m_alignment || view < m_lead[0])
        return false;
    const std::size_t edits = m_alignment->EditsThroughView(view - m_lead[0]);
    if (edits == 0)
        return false;
    const AlignmentEdit& edit = Edit(edits - 1);
    return view - (m_lead[0] + edit.position1 + edit.insertedBefore) < edit.count;
}

std::uint64_t ContextLayout::PositionFrom(int file, std::uint64_t row, unsigned column) const
{
    return Locate(file, row * kRow + column).position;
}

std::optional<std::uint64_t> ContextLayout::RowLabel(int file, std::uint64_t row) const
{
    const Located first = Locate(file, row * kRow);
    if (first.present)
        return first.position;
    // A row that an edit's bytes begin: its first byte of the file after them.
    if (first.position == 0 || first.position == Length(file) ||
        ViewOf(file, first.position) / kRow != row)
        return std::nullopt;
    return first.position;
}

FileStretch ContextLayout::Shown(int file, std::uint64_t firstRow, std::uint64_t count) const
{
    const std::uint64_t from = Locate(file, firstRow * kRow).position;
    const std::uint64_t to = Locate(file, (firstRow + count) * kRow).position;
    if (from >= to)
        return {};
    return {from, to - from};
}

std::size_t ContextLayout::EditsBefore(std::uint64_t position1, bool through) const
{
    if (!m_alignment || (!through && position1 == 0))
        return 0;
    return m_alignment->EditsThrough(1, through ? position1 : position1 - 1);
}

LinedStretch ContextLayout::Lined(std::size_t index) const
{
    const std::size_t edits = EditCount();
    std::uint64_t from[2] = {0, 0};
    if (index == 0) {
        // Lined up by the offsets: the file that starts later in the view starts the stretch.
        from[0] = m_lead[1] > m_lead[0] ? m_lead[1] - m_lead[0] : 0;
        from[1] = m_lead[0] > m_lead[1] ? m_lead[0] - m_lead[1] : 0;
    } else {
        from[0] = Edit(index - 1).After(1);
        from[1] = Edit(index - 1).After(2);
    }
    std::uint64_t count = ~std::uint64_t{0};
    for (int file = 1; file <= 2; ++file) {
        const std::uint64_t to =
            std::min(index < edits ? Edit(index).Position(file) : Length(file), Length(file));
        count = std::min(count, to > from[file - 1] ? to - from[file - 1] : 0);
    }
    return {from[0], count, from[1]};
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
