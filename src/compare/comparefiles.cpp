#include "comparefiles.h"

#include "differencemap.h"
#include "finddifference.h"
#include "inputfile.h"
#include "progressmarks.h"
#include "realign.h"
#include "reportbody.h"
#include "reportformat.h"
#include "reportlines.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace bFile {

namespace {

constexpr std::uint64_t kQuestionAt = 1000;

// The walk over both ranges, block by block: counts, body lines, progress and the question.
class Comparison
{
  public:
    Comparison(CompareSink& sink, bool byLines, bool withChars, std::uint64_t offset1,
               std::uint64_t offset2, std::uint64_t count, std::size_t mapRegions)
        : m_sink(sink), m_body(sink, byLines, withChars), m_offset1(offset1), m_offset2(offset2),
          m_keepsStretches(sink.KeepsStretches()), m_marks(sink, count)
    {
        if (mapRegions > 0)
            m_map.emplace(count, byLines ? 0 : offset1, mapRegions);
    }

    // Walks one block pair whose first byte has the given index. False when the user
    // chose to stop after 1000 changes.
    bool Walk(const unsigned char* a, const unsigned char* b, std::size_t size, std::uint64_t start)
    {
        std::size_t j = 0;
        while (j < size) {
            if (!m_runOpen) {
                const std::size_t k = FindDifference(a, b, j, size);
                if (k > j)
                    ProgressThrough(start + k - 1);
                j = k;
                if (j == size)
                    break;
            }
            const std::uint64_t index = start + j;
            const bool differs = a[j] != b[j];
            if (differs) {
                ++m_changed;
                m_runOpen = true;
                m_body.AddByte(index, m_offset1 + index, a[j], b[j]);
                if (m_keepsStretches)
                    m_sink.ChangedByte(m_offset1 + index, m_offset2 + index, b[j]);
                if (m_map)
                    m_map->AddDifference(index);
            } else {
                // The equal byte after a run closes it.
                ++m_locations;
                m_runOpen = false;
                m_body.EndRow();
            }
            ProgressThrough(index);
            if (differs && m_changed == kQuestionAt && !m_asked) {
                m_asked = true;
                if (!m_sink.ContinueAfter1000Changes()) {
                    MarkWalked(index + 1);
                    return false;
                }
            }
            ++j;
        }
        MarkWalked(start + size);
        return true;
    }

    // The comparison ended, at the last index or on the user's word.
    CompareSummary Finish()
    {
        if (m_runOpen) {
            ++m_locations;
            m_runOpen = false;
        }
        m_body.EndRow();
        return {m_changed, m_locations};
    }

    // The run is ending early, before the block from blockStart was walked through: writes
    // the row being built (its bytes were compared) and the note of where the comparison
    // stopped, with what it found before that place. The reason for the early end is what
    // counts, so a sink that fails again here is left to it.
    void EndEarly(std::uint64_t blockStart) noexcept
    {
        try {
            m_body.EndRow();
        } catch (...) {
        }
        try {
            ShowMap(blockStart, true);
        } catch (...) {
        }
        try {
            // Each walked block moves the mark, so it never lies before blockStart.
            m_sink.AppendStopNote(StoppedLine(m_offset1 + m_walked, m_foundBeforeWalked.changed,
                                              m_foundBeforeWalked.locations));
        } catch (...) {
        }
    }

    // Shows the difference map, if the run keeps one, with everything before blockStart or
    // before the last mark compared; a finished map marks the rest as never compared.
    void ShowMap(std::uint64_t blockStart, bool finished)
    {
        if (!m_map)
            return;
        m_map->SetCompared(std::max(blockStart, m_walked));
        if (finished)
            m_map->Finish();
        m_sink.ShowMap(*m_map);
    }

  private:
    // What the walk found so far; a run still open counts as the location it would become.
    CompareSummary Found() const { return {m_changed, m_locations + (m_runOpen ? 1 : 0)}; }

    // Everything before walked is compared, counted and written, should the run end here.
    void MarkWalked(std::uint64_t walked)
    {
        m_walked = walked;
        m_foundBeforeWalked = Found();
    }

    // Reports every progress mark up to and including index, in order. Called for every
    // differing byte, so the common case of no mark reached stays inline.
    void ProgressThrough(std::uint64_t index)
    {
        if (m_marks.Reached(index))
            ShowMarksThrough(index);
    }

    void ShowMarksThrough(std::uint64_t index)
    {
        MarkWalked(index + 1);
        ShowMap(m_walked, false);
        m_marks.ShowThrough(index);
    }

    CompareSink& m_sink;
    ReportBody m_body;
    std::uint64_t m_offset1;
    std::uint64_t m_offset2;
    bool m_keepsStretches;
    ProgressMarks m_marks;
    std::uint64_t m_changed = 0;
    std::uint64_t m_locations = 0;
    bool m_runOpen = false;
    bool m_asked = false;
    // The indexes before it are compared, as of the last mark or the last whole block, and
    // what they hold.
    std::uint64_t m_walked = 0;
    CompareSummary m_foundBeforeWalked;
    std::optional<DifferenceMap> m_map;
};

// The walk reached its end and the summary is written: a file that changed meanwhile leaves
// its report whole, with the summary of what was read and a warning that it changed, and the
// run ends in its CompareError.
void CheckUnchangedAfterSummary(const std::array<InputFile, 2>& inputs, CompareSink& sink)
{
    try {
        for (const InputFile& input : inputs)
            input.CheckUnchanged();
    } catch (const CompareError& error) {
        try {
            sink.AppendStopNote(ChangedWarningLine(error.what()));
        } catch (...) {
        }
        throw;
    }
}

// The rest of a realigning comparison, after the header's file lines and offset notes: each
// range runs to its file's end, so nothing is truncated.
CompareSummary CompareRealigned(std::array<InputFile, 2>& inputs,
                                const std::array<std::uint64_t, 2>& offsets, bool byLines,
                                bool withChars, CompareSink& sink, const CompareOptions& options)
{
    if (inputs[0].Length() == offsets[0] && inputs[1].Length() == offsets[1])
        sink.AppendNote(EmptyRangeLine(0, 0));
    sink.AppendNote(RealignNoteLine(std::max<std::uint64_t>(options.shiftWindow, 1)));
    sink.AppendLine("", 0, 0);
    const auto showPhase = [&sink](const char* text) {
        sink.ShowStatus(text);
        if (sink.StopRequested())
            throw CompareStopped();
    };
    const auto searched = [](InputFile& input) {
        return SearchedFile{[&input](std::uint64_t position, unsigned char* into,
                                     std::size_t count) { input.ReadAt(position, into, count); },
                            input.Length()};
    };
    // The walk ends its report itself when it ends early; before it starts, nothing was
    // compared.
    bool walking = false;
    const auto notWalked = [&]() noexcept {
        if (walking)
            return;
        try {
            sink.AppendStopNote(StoppedLine(offsets[0], 0, 0));
        } catch (...) {
        }
    };
    CompareSummary summary;
    try {
        showPhase("Preparing ...");
        for (InputFile& input : inputs) {
            showPhase(input.Number() == 1 ? "Opening file 1 ..." : "Opening file 2 ...");
            input.Open(offsets[input.Number() - 1]);
        }
        const SearchedFile file1 = searched(inputs[0]), file2 = searched(inputs[1]);
        walking = true;
        summary =
            RealignBody(file1, offsets[0], file2, offsets[1], byLines, withChars, sink, options);
    } catch (const CompareError&) {
        notWalked();
        throw;
    } catch (...) {
        notWalked();
        // A stop leaves a report that is true as far as it goes, unless a file changed under
        // it: that is told instead.
        for (const InputFile& input : inputs)
            input.CheckUnchanged();
        throw;
    }
    sink.AppendNote(SummaryText(summary.changed, summary.locations) +
                    RealignedCountsText(summary.insertions, summary.inserted, summary.removals,
                                        summary.removed));
    CheckUnchangedAfterSummary(inputs, sink);
    sink.ShowStatus("Done!");
    sink.ReportComplete();
    return summary;
}

} // namespace

CompareSummary CompareFiles(const std::string& path1, const std::string& path2,
                            std::uint64_t offset1, std::uint64_t offset2, bool byLines,
                            bool withChars, CompareSink& sink)
{
    return CompareFiles(path1, path2, offset1, offset2, byLines, withChars, sink, CompareOptions{});
}

CompareSummary CompareFiles(const std::string& path1, const std::string& path2,
                            std::uint64_t offset1, std::uint64_t offset2, bool byLines,
                            bool withChars, CompareSink& sink, const CompareOptions& options)
{
    std::array<InputFile, 2> inputs = {InputFile(1, path1, "the comparison", options.openFile),
                                       InputFile(2, path2, "the comparison", options.openFile)};
    for (InputFile& input : inputs)
        input.Measure();

    // The header shows the offsets as given; the shift is taken from them too.
    const std::uint64_t shift = offset1 > offset2 ? offset1 - offset2 : offset2 - offset1;
    std::array<std::uint64_t, 2> offsets = {offset1, offset2};
    for (const InputFile& input : inputs) {
        sink.AppendLine(FileLine(input.Number(), input.Path(), input.Length(),
                                 offsets[input.Number() - 1], shift),
                        0, 0);
    }

    // An offset past the end restarts at the file's first byte; one equal to the length
    // leaves an empty range.
    for (const InputFile& input : inputs) {
        std::uint64_t& offset = offsets[input.Number() - 1];
        if (offset > input.Length()) {
            sink.AppendNote(OffsetResetLine(input.Number()));
            offset = 0;
        }
    }
    if (options.realign)
        return CompareRealigned(inputs, offsets, byLines, withChars, sink, options);
    const std::uint64_t count1 = inputs[0].Length() - offsets[0];
    const std::uint64_t count2 = inputs[1].Length() - offsets[1];
    const std::uint64_t count = std::min(count1, count2);
    if (count == 0) {
        const int emptyFile = count1 == count2 ? 0 : (count1 == 0 ? 1 : 2);
        sink.AppendNote(EmptyRangeLine(emptyFile, emptyFile == 2 ? offsets[1] : offsets[0]));
    } else if (count2 < count1) {
        sink.AppendNote(TruncationLine(1, count - 1));
    } else if (count1 < count2) {
        sink.AppendNote(TruncationLine(2, count - 1));
    }
    sink.AppendLine("", 0, 0);

    // From here on a run that ends early, stopped or failed, ends its report with a note of
    // where it stopped.
    Comparison comparison(sink, byLines, withChars, offsets[0], offsets[1], count,
                          options.mapRegions);
    std::uint64_t start = 0;
    const auto showPhase = [&sink](const char* text) {
        sink.ShowStatus(text);
        if (sink.StopRequested())
            throw CompareStopped();
    };
    try {
        showPhase("Preparing ...");
        const auto blockSize = static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max<std::size_t>(options.blockSize, 1), count));
        for (InputFile& input : inputs)
            input.AllocateBlock(blockSize);

        for (InputFile& input : inputs) {
            showPhase(input.Number() == 1 ? "Opening file 1 ..." : "Opening file 2 ...");
            input.Open(offsets[input.Number() - 1]);
        }

        comparison.ShowMap(0, false);
        if (sink.KeepsStretches())
            sink.StretchesBegin(offsets[0], offsets[1]);
        while (start < count) {
            const auto size =
                static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, count - start));
            for (InputFile& input : inputs)
                input.ReadAt(offsets[input.Number() - 1] + start, input.Block(), size);
            if (!comparison.Walk(inputs[0].Block(), inputs[1].Block(), size, start))
                break;
            start += size;
        }
        if (start == count && sink.KeepsStretches())
            sink.StretchesEnd(offsets[0] + count, offsets[1] + count);
    } catch (const CompareError&) {
        comparison.EndEarly(start);
        throw;
    } catch (...) {
        // A stop leaves a report that is true as far as it goes, unless a file changed under
        // it: that is told instead.
        comparison.EndEarly(start);
        for (const InputFile& input : inputs)
            input.CheckUnchanged();
        throw;
    }
    comparison.ShowMap(start, true);
    const CompareSummary summary = comparison.Finish();

    sink.AppendNote(SummaryText(summary.changed, summary.locations));
    CheckUnchangedAfterSummary(inputs, sink);
    sink.ShowStatus("Done!");
    sink.ReportComplete();
    return summary;
}

} // namespace bFile
