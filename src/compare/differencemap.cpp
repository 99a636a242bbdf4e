#include "differencemap.h"

#include <algorithm>

namespace bFile {

namespace {

using Wide = unsigned __int128; // region maths of 64-bit sizes times up to 4096 regions

} // namespace

DifferenceMap::DifferenceMap(std::uint64_t size, std::uint64_t origin, std::size_t regions)
    : m_size(size), m_origin(origin), m_counts(static_cast<std::size_t>(std::min<std::uint64_t>(
                                          size, std::clamp<std::size_t>(regions, 1, kMaxRegions))))
{}

std::uint64_t DifferenceMap::FirstIndex(std::size_t region) const
{
    return static_cast<std::uint64_t>(Wide{region} * m_size / m_counts.size());
}

std::size_t DifferenceMap::RegionOf(std::uint64_t index) const
{
    // index lies in region r when r * size < (index + 1) * regions <= (r + 1) * size.
    return static_cast<std::size_t>(((Wide{index} + 1) * m_counts.size() - 1) / m_size);
}

// The highest count of any region; 0 for an empty map.
std::uint64_t DifferenceMap::LargestCount() const
{
    return m_counts.empty() ? 0 : *std::max_element(m_counts.begin(), m_counts.end());
}

void DifferenceMap::AddRealignment(std::uint64_t index)
{
    if (m_counts.empty())
        return;
    if (m_realignments.empty())
        m_realignments.resize(m_counts.size());
    ++m_realignments[RegionOf(std::min(index, m_size - 1))];
}

// Points the cursor at the region holding index, so that the differences after it count there.
void DifferenceMap::MoveCursor(std::uint64_t index)
{
    m_cursor = RegionOf(index);
    m_cursorFirst = FirstIndex(m_cursor);
    m_cursorSize = FirstIndex(m_cursor + 1) - m_cursorFirst;
}

} // namespace bFile
