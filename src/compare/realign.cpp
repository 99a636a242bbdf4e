#include "realign.h"

#include "differencemap.h"
#include "finddifference.h"
#include "progressmarks.h"
#include "reportbody.h"
#include "reportformat.h"
#include "reportlines.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bFile {

namespace {

constexpr std::uint64_t kQuestionAt = 1000;
// Reading into a page-aligned buffer saves the kernel a good part of its copying time.
constexpr std::size_t kPageSize = 4096;
// Inserted bytes are handed to a sink that keeps stretches in pieces of this size.
constexpr std::size_t kInsertedPiece = 64 * 1024;

// One file's bytes around the walk: a block read from wherever the walk stands, read again
// when the walk leaves it.
class Window
{
  public:
    Window(const SearchedFile& file, std::size_t size)
        : m_file(file), m_size(std::max<std::size_t>(size, 1)),
          m_bytes(static_cast<unsigned char*>(::operator new (
              (m_size + kPageSize - 1) / kPageSize * kPageSize, std::align_val_t{kPageSize})))
    {}

    // The bytes from position (before the file's end) to the block's end.
    std::span<const unsigned char> At(std::uint64_t position)
    {
        if (position < m_start || position >= m_end) {
            const auto count =
                static_cast<std::size_t>(std::min<std::uint64_t>(m_size, m_file.length - position));
            m_file.read(position, m_bytes.get(), count);
            m_start = position;
            m_end = position + count;
        }
        return {m_bytes.get() + (position - m_start), static_cast<std::size_t>(m_end - position)};
    }

  private:
    const SearchedFile& m_file;
    std::size_t m_size;
    struct FreePages
    {
        void operator()(unsigned char* bytes) const
        {
            ::operator delete (bytes, std::align_val_t{kPageSize});
        }
    };
    std::unique_ptr<unsigned char, FreePages> m_bytes;
    std::uint64_t m_start = 0, m_end = 0;
};

// The differing bytes of the stretch not yet reported, while it may still turn out to be an
// insertion or a removal.
struct Stretch
{
    struct Byte
    {
        std::uint32_t at; // from the stretch's first byte
        std::uint8_t byte1, byte2;
    };
    std::uint64_t start1 = 0, start2 = 0;
    std::vector<Byte> bytes;
    std::uint64_t equalAfter = 0; // equal bytes in a row after the last one

    bool Empty() const { return bytes.empty(); }
};

// The outcome of walking one span or of one search.
enum class Step {
    Going,
    Quit, // the user chose to stop after 1000 changes
};

class Realignment
{
  public:
    Realignment(const SearchedFile& file1, std::uint64_t start1, const SearchedFile& file2,
                std::uint64_t start2, bool byLines, bool withChars, CompareSink& sink,
                const CompareOptions& options)
        : m_file1(file1), m_file2(file2), m_start1(start1), m_start2(start2), m_x1(start1),
          m_x2(start2), m_sink(sink), m_body(sink, byLines, withChars), m_byLines(byLines),
          m_window(std::max<std::uint64_t>(options.shiftWindow, 1)),
          m_keepsStretches(sink.KeepsStretches()),
          m_keepsEdits(m_keepsStretches || sink.KeepsEdits()), m_block1(file1, options.blockSize),
          m_block2(file2, options.blockSize), m_marks(sink, file1.length - start1)
    {
        m_search.window = m_window;
        m_search.minimumStretch = kRealignAgreement;
        m_search.compareLimit = kRealignCompareLimit;
        m_search.blockSize = options.blockSize;
        m_search.stopAtFullLength = true;
        m_stretch.bytes.reserve(kRealignTrigger);
        if (options.mapRegions > 0)
            m_map.emplace(file1.length - start1, byLines ? 0 : start1, options.mapRegions);
    }

    // Walks both ranges to their ends; false when the user chose to stop after 1000 changes.
    bool Run()
    {
        if (m_keepsStretches)
            m_sink.StretchesBegin(m_start1, m_start2);
        ShowMap(false);
        while (true) {
            if (m_x1 == m_file1.length || m_x2 == m_file2.length) {
                if (m_stretch.Empty())
                    break;
                if (Resolve() == Step::Quit)
                    return false;
                continue;
            }
            const std::span<const unsigned char> a = m_block1.At(m_x1);
            const std::span<const unsigned char> b = m_block2.At(m_x2);
            if (WalkSpan(a.data(), b.data(), std::min(a.size(), b.size())) == Step::Quit)
                return false;
        }
        CloseRun();
        if (m_x1 < m_file1.length)
            OnlyInFile1(m_file1.length - m_x1, m_file2.length);
        if (m_x2 < m_file2.length)
            OnlyInFile2(m_file2.length - m_x2, m_x2);
        m_compared = m_file1.length - m_start1;
        if (m_keepsStretches)
            m_sink.StretchesEnd(m_file1.length, m_file2.length);
        return true;
    }

    CompareSummary Finish()
    {
        CloseRun();
        m_body.EndRow();
        ShowMap(true);
        return m_summary;
    }

    // The run is ending early: reports the stretch held back (its bytes were compared and
    // differ), the row being built and the note of where the comparison stopped. The reason
    // for the early end is what counts, so a sink that fails again here is left to it.
    void EndEarly() noexcept
    {
        m_ending = true;
        try {
            Report(m_stretch.bytes.size());
            m_body.EndRow();
        } catch (...) {
        }
        try {
            ShowMap(true);
        } catch (...) {
        }
        try {
            // What the report holds, a run still open counted as the location it would be.
            m_sink.AppendStopNote(StoppedLine(m_start1 + m_compared, m_summary.changed,
                                              m_summary.locations + (m_runOpen ? 1 : 0)));
        } catch (...) {
        }
    }

  private:
    // Walks count positions from the cursors, which move on past them unless a search moves
    // them elsewhere.
    Step WalkSpan(const unsigned char* a, const unsigned char* b, std::size_t count)
    {
        std::size_t j = 0;
        while (j < count) {
            if (!m_runOpen) {
                const std::size_t k = FindDifference(a, b, j, count);
                if (k > j) {
                    Agreed(k - j);
                    if (m_quit)
                        return Step::Quit;
                    ProgressThrough(m_x1 + k - 1);
                }
                j = k;
                if (j == count)
                    break;
            }
            const std::uint64_t position1 = m_x1 + j, position2 = m_x2 + j;
            if (a[j] != b[j]) {
                m_equalRun = 0;
                if (!m_armed && position1 - m_disarmedAt >= m_window)
                    m_armed = true;
                if (!m_runOpen && m_armed) {
                    if (m_stretch.Empty()) {
                        m_stretch.start1 = position1;
                        m_stretch.start2 = position2;
                    }
                    m_stretch.bytes.push_back(
                        {static_cast<std::uint32_t>(position1 - m_stretch.start1), a[j], b[j]});
                    m_stretch.equalAfter = 0;
                    if (m_stretch.bytes.size() == kRealignTrigger) {
                        m_x1 = position1 + 1;
                        m_x2 = position2 + 1;
                        ProgressThrough(position1);
                        return Resolve();
                    }
                } else {
                    Change(position1, position2, a[j], b[j]);
                }
            } else {
                // The equal byte after a run closes it.
                CloseRun();
                m_equalRun = 1;
            }
            if (m_quit)
                return Step::Quit;
            ProgressThrough(position1);
            ++j;
        }
        m_x1 += count;
        m_x2 += count;
        return Step::Going;
    }

    // count equal bytes in a row follow.
    void Agreed(std::uint64_t count)
    {
        m_equalRun += count;
        if (m_equalRun >= kRealignAgreement)
            m_armed = true;
        if (!m_stretch.Empty()) {
            m_stretch.equalAfter += count;
            if (m_stretch.equalAfter >= kRealignAgreement) {
                Report(m_stretch.bytes.size());
                CloseRun();
                m_stretch.bytes.clear();
            }
        }
    }

    // The stretch held back sets off the search; the cursors stand after its last byte seen.
    Step Resolve()
    {
        const std::uint64_t p1 = m_stretch.start1, p2 = m_stretch.start2;
        std::uint64_t from1 = p1, from2 = p2;
        ShiftMatch match = SearchShift(m_file1, p1, m_file2, p2, m_search);
        if (!match.Found() && m_x1 < m_file1.length && m_x2 < m_file2.length) {
            from1 = m_x1;
            from2 = m_x2;
            match = SearchShift(m_file1, from1, m_file2, from2, m_search);
        }
        if (!match.Found()) {
            Report(m_stretch.bytes.size());
            // Equal bytes after the last one have closed its run.
            if (m_stretch.equalAfter > 0)
                CloseRun();
            m_stretch.bytes.clear();
            m_armed = false;
            m_disarmedAt = m_x1;
            return m_quit ? Step::Quit : Step::Going;
        }

        // Walks back from where the files agree at the new alignment, through the stretch.
        const std::uint64_t span = from1 - p1;
        const bool intoFile2 = match.sign > 0;
        const std::uint64_t m = match.magnitude;
        std::vector<unsigned char> before1(span), before2(span);
        m_file1.read(p1 + (intoFile2 ? 0 : m), before1.data(), span);
        m_file2.read(p2 + (intoFile2 ? m : 0), before2.data(), span);
        std::uint64_t edit = span;
        while (edit > 0 && before1[edit - 1] == before2[edit - 1])
            --edit;

        std::size_t changed = 0;
        while (changed < m_stretch.bytes.size() && m_stretch.bytes[changed].at < edit)
            ++changed;
        Report(changed);
        m_stretch.bytes.clear();
        CloseRun();
        if (m_quit)
            return Step::Quit;
        m_x1 = p1 + edit;
        m_x2 = p2 + edit;
        if (intoFile2) {
            OnlyInFile2(m, m_x2);
            m_x2 += m;
        } else {
            OnlyInFile1(m, m_x2);
            m_x1 += m;
        }
        m_equalRun = 0;
        return Step::Going;
    }

    // count bytes of file 1 from the cursor are not in file 2, before its position2.
    void OnlyInFile1(std::uint64_t count, std::uint64_t position2)
    {
        m_body.EndRow();
        const std::uint64_t position1 = m_x1;
        ++m_summary.removals;
        m_summary.removed += count;
        m_sink.AppendLine(OnlyInFileLine(Label(position1), 1, position1, count,
                                         Shift(position1 + count, position2)),
                          0, 0);
        if (m_keepsEdits)
            m_sink.OnlyInFile1(position1, count, position2);
        Realigned(position1);
    }

    // count bytes of file 2 from position2 are not in file 1, before its cursor.
    void OnlyInFile2(std::uint64_t count, std::uint64_t position2)
    {
        m_body.EndRow();
        const std::uint64_t position1 = m_x1;
        ++m_summary.insertions;
        m_summary.inserted += count;
        m_sink.AppendLine(OnlyInFileLine(Label(position1), 2, position2, count,
                                         Shift(position1, position2 + count)),
                          0, 0);
        if (m_keepsEdits)
            m_sink.OnlyInFile2(position1, position2, count);
        if (m_keepsStretches) {
            std::vector<unsigned char> piece(
                static_cast<std::size_t>(std::min<std::uint64_t>(count, kInsertedPiece)));
            for (std::uint64_t done = 0; done < count;) {
                const auto size =
                    static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), count - done));
                m_file2.read(position2 + done, piece.data(), size);
                m_sink.InsertedBytes({piece.data(), size});
                done += size;
            }
        }
        Realigned(position1);
    }

    void Realigned(std::uint64_t position1)
    {
        if (m_map)
            m_map->AddRealignment(position1 - m_start1);
        ++m_shiftsFound;
        m_marks.SetNote(" (shifts found: " + bVarious::DecimalNumber(m_shiftsFound) + ")");
    }

    std::uint64_t Label(std::uint64_t position1) const
    {
        return m_byLines ? position1 - m_start1 : position1;
    }

    // How much further file 2's position lies from its start than file 1's.
    std::int64_t Shift(std::uint64_t position1, std::uint64_t position2) const
    {
        return static_cast<std::int64_t>(position2 - m_start2) -
               static_cast<std::int64_t>(position1 - m_start1);
    }

    // Reports the first count bytes of the stretch held back as changed.
    void Report(std::size_t count)
    {
        for (std::size_t i = 0; i < count && !m_quit; ++i) {
            const Stretch::Byte& byte = m_stretch.bytes[i];
            if (i > 0 && byte.at != m_stretch.bytes[i - 1].at + 1)
                CloseRun();
            Change(m_stretch.start1 + byte.at, m_stretch.start2 + byte.at, byte.byte1, byte.byte2);
        }
    }

    void Change(std::uint64_t position1, std::uint64_t position2, std::uint8_t byte1,
                std::uint8_t byte2)
    {
        ++m_summary.changed;
        m_runOpen = true;
        const std::uint64_t index = position1 - m_start1;
        m_body.AddByte(index, position1, byte1, byte2);
        if (m_keepsStretches)
            m_sink.ChangedByte(position1, position2, byte2);
        if (m_map)
            m_map->AddDifference(index);
        if (m_summary.changed == kQuestionAt && !m_asked && !m_ending) {
            m_asked = true;
            if (!m_sink.ContinueAfter1000Changes())
                m_quit = true;
        }
    }

    void CloseRun()
    {
        if (!m_runOpen)
            return;
        ++m_summary.locations;
        m_runOpen = false;
        m_body.EndRow();
    }

    void ShowMap(bool finished)
    {
        if (!m_map)
            return;
        m_map->SetCompared(m_compared);
        if (finished)
            m_map->Finish();
        m_sink.ShowMap(*m_map);
    }

    // Reports every progress mark up to and including file 1's position.
    void ProgressThrough(std::uint64_t position1)
    {
        const std::uint64_t index = position1 - m_start1;
        if (m_marks.Reached(index)) {
            m_compared = index + 1;
            ShowMap(false);
            m_marks.ShowThrough(index);
        }
    }

    const SearchedFile& m_file1;
    const SearchedFile& m_file2;
    std::uint64_t m_start1, m_start2;
    std::uint64_t m_x1, m_x2; // the next positions to compare
    CompareSink& m_sink;
    ReportBody m_body;
    bool m_byLines;
    std::uint64_t m_window;
    bool m_keepsStretches;
    bool m_keepsEdits;
    ShiftSearchLimits m_search;
    Window m_block1, m_block2;
    Stretch m_stretch;
    CompareSummary m_summary;
    bool m_runOpen = false; // a run of reported differing bytes goes on
    bool m_armed = true;    // a stretch may set off a search
    std::uint64_t m_disarmedAt = 0;
    std::uint64_t m_equalRun = 0;
    bool m_asked = false;
    bool m_quit = false;
    bool m_ending = false;
    std::uint64_t m_compared = 0; // file 1's indexes before it are compared
    std::uint64_t m_shiftsFound = 0;
    ProgressMarks m_marks;
    std::optional<DifferenceMap> m_map;
};

} // namespace

CompareSummary RealignBody(const SearchedFile& file1, std::uint64_t start1,
                           const SearchedFile& file2, std::uint64_t start2, bool byLines,
                           bool withChars, CompareSink& sink, const CompareOptions& options)
{
    Realignment realignment(file1, start1, file2, start2, byLines, withChars, sink, options);
    try {
        realignment.Run();
    } catch (...) {
        realignment.EndEarly();
        throw;
    }
    return realignment.Finish();
}

} // namespace bFile
