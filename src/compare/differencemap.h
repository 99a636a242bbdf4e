#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bFile {

// Where the differences of one comparison lie: the compared range cut into a fixed number of
// nearly equal regions, each with its count of differing bytes, so that the memory is the
// same for a range of 1 KiB and of 1 TiB. Region r holds the indexes from r * size / regions
// (rounded down) up to the next region's first index.
//
// Positions are given as the report labels its lines: `origin` is the label of the range's
// first byte (its position in file 1 for the Normal layout, 0 for By lines).
class DifferenceMap
{
  public:
    static constexpr std::size_t kMaxRegions = 4096;

    DifferenceMap() = default;
    // A range of size bytes in the given number of regions (1 to kMaxRegions); a range with
    // fewer bytes than that has one region a byte.
    DifferenceMap(std::uint64_t size, std::uint64_t origin, std::size_t regions);

    std::size_t Regions() const { return m_counts.size(); }
    std::uint64_t Size() const { return m_size; }
    std::uint64_t Origin() const { return m_origin; }

    // The first index of a region; Regions() gives the range's size.
    std::uint64_t FirstIndex(std::size_t region) const;
    // The region holding an index of the range.
    std::size_t RegionOf(std::uint64_t index) const;

    std::uint64_t Count(std::size_t region) const { return m_counts[region]; }
    std::uint64_t LargestCount() const;
    // How often a realigning comparison lined the files up again inside the region.
    std::uint64_t Realignments(std::size_t region) const
    {
        return m_realignments.empty() ? 0 : m_realignments[region];
    }

    // The indexes before Compared() have all been compared; the part after them not (yet).
    std::uint64_t Compared() const { return m_compared; }
    // True when no byte of the region has been compared.
    bool NeverCompared(std::size_t region) const { return FirstIndex(region) >= m_compared; }
    // True once the comparison has ended, at the range's end or before it.
    bool Finished() const { return m_finished; }

    // The engine's side: one differing byte, at an index no lower than the last one given.
    void AddDifference(std::uint64_t index)
    {
        if (index - m_cursorFirst >= m_cursorSize)
            MoveCursor(index);
        ++m_counts[m_cursor];
    }
    // The files were lined up again before the byte at index (the range's size: after its
    // last byte).
    void AddRealignment(std::uint64_t index);
    void SetCompared(std::uint64_t end) { m_compared = end; }
    void Finish() { m_finished = true; }

  private:
    void MoveCursor(std::uint64_t index);

    std::uint64_t m_size = 0;
    std::uint64_t m_origin = 0;
    std::vector<std::uint64_t> m_counts;
    std::vector<std::uint64_t> m_realignments; // empty until the first
    std::uint64_t m_compared = 0;
    bool m_finished = false;
    // The region that took the last difference, kept so that a run costs no division a byte.
    std::size_t m_cursor = 0;
    std::uint64_t m_cursorFirst = 0;
    std::uint64_t m_cursorSize = 0;
};

} // namespace bFile
