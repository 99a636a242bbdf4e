#pragma once

#include "comparesink.h"

#include <cstdint>
#include <string>

namespace bFile {

// The progress of a walk over count indexes: "Comparing files, please wait ... 40%" after
// index 1000, 2000 and so on, where 40 is the index divided by a hundredth of the last index,
// rounded down.
class ProgressMarks
{
  public:
    ProgressMarks(CompareSink& sink, std::uint64_t count);

    // Whether index has reached the next mark; called for every differing byte, so it stays
    // inline.
    bool Reached(std::uint64_t index) const { return index >= m_nextMark; }

    // Shows every mark up to and including index, in order. After each, the sink may stop the
    // walk: CompareStopped.
    void ShowThrough(std::uint64_t index);

    // Text shown after the percentage from the next mark on ("(shifts found: 3)").
    void SetNote(std::string note);

  private:
    static constexpr std::uint64_t kStep = 1000;

    CompareSink& m_sink;
    double m_percentUnit;
    std::uint64_t m_nextMark = kStep;
    std::uint64_t m_shownPercent = 0;
    std::string m_note;
    std::string m_text; // empty when it must be made again
};

} // namespace bFile
