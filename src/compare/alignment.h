#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bFile {

// A stretch of bytes that only one file holds, as a realigning comparison found it: count
// bytes of `file` from its position, where the walk stood at position1 of file 1 and
// position2 of file 2.
struct AlignmentEdit
{
    std::uint64_t position1 = 0;
    std::uint64_t position2 = 0;
    std::uint64_t count = 0;
    // Bytes only file 2 holds in the edits before this one, which puts the edit at view
    // position position1 + insertedBefore past file 1's lead (see ContextLayout).
    std::uint64_t insertedBefore = 0;
    int file = 2;

    std::uint64_t Position(int which) const { return which == 1 ? position1 : position2; }
    // The position in `which` file just after the edit.
    std::uint64_t After(int which) const { return Position(which) + (which == file ? count : 0); }
};

// The edits of a realigning comparison in the order of the files, kept so that the context
// view can line the files up through each of them. Memory grows with the edits, not with the
// files: past kMostEdits they are no longer kept, and the alignment is cut there.
class Alignment
{
  public:
    // 40 bytes each: the view stays within 1 MiB.
    static constexpr std::size_t kMostEdits = 25000;

    // The engine's calls of a sink that keeps the edits (CompareSink), in their order. An
    // edit that does not come after the one before is left out, as one past the most.
    void OnlyInFile1(std::uint64_t position1, std::uint64_t count, std::uint64_t position2);
    void OnlyInFile2(std::uint64_t position1, std::uint64_t position2, std::uint64_t count);

    const std::vector<AlignmentEdit>& Edits() const { return m_edits; }
    // Edits were left out: the alignment holds the first ones only.
    bool Cut() const { return m_cut; }

    // How many edits begin at or before a position of a file.
    std::size_t EditsThrough(int file, std::uint64_t position) const;
    // How many edits begin at or before a position of file 1 plus the bytes inserted before
    // it (the view position without file 1's lead).
    std::size_t EditsThroughView(std::uint64_t unled) const;

  private:
    void Add(int file, std::uint64_t position1, std::uint64_t position2, std::uint64_t count);

    std::vector<AlignmentEdit> m_edits;
    std::uint64_t m_inserted = 0;
    bool m_cut = false;
};

} // namespace bFile
