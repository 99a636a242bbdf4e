#include "alignment.h"

#include <algorithm>

namespace bFile {

void Alignment::OnlyInFile1(std::uint64_t position1, std::uint64_t count, std::uint64_t position2)
{
    Add(1, position1, position2, count);
}

void Alignment::OnlyInFile2(std::uint64_t position1, std::uint64_t position2, std::uint64_t count)
{
    Add(2, position1, position2, count);
}

void Alignment::Add(int file, std::uint64_t position1, std::uint64_t position2, std::uint64_t count)
{
    if (m_cut || count == 0)
        return;
    // The lookups need both files' positions in order.
    const bool inOrder = m_edits.empty() || (position1 >= m_edits.back().After(1) &&
                                             position2 >= m_edits.back().After(2));
    if (m_edits.size() == kMostEdits || !inOrder) {
        m_cut = true;
        return;
    }
    m_edits.push_back({position1, position2, count, m_inserted, file});
    if (file == 2)
        m_inserted += count;
}

std::size_t Alignment::EditsThrough(int file, std::uint64_t position) const
{
    const auto after = std::upper_bound(
        m_edits.begin(), m_edits.end(), position,
        [file](std::uint64_t p, const AlignmentEdit& edit) { return p < edit.Position(file); });
    return static_cast<std::size_t>(after - m_edits.begin());
}

std::size_t Alignment::EditsThroughView(std::uint64_t unled) const
{
    const auto after = std::upper_bound(m_edits.begin(), m_edits.end(), unled,
                                        [](std::uint64_t v, const AlignmentEdit& edit) {
                                            return v < edit.position1 + edit.insertedBefore;
                                        });
    return static_cast<std::size_t>(after - m_edits.begin());
}

} // namespace bFile
