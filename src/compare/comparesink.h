#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace bFile {

class DifferenceMap;

// Where the comparison engine writes. The window's result pane, the command line and the
// tests each implement it; the engine knows nothing else of its surroundings.
class CompareSink
{
  public:
    virtual ~CompareSink() = default;

    // One report line: the indent's blanks, the text and a line break, in the colour
    // (0x00BBGGRR). The text is UTF-8 and may itself hold "\r\n" (the summary call).
    virtual void AppendLine(std::string_view text, std::uint32_t colour, std::uint8_t indent) = 0;

    // A phase text for the status bar ("Preparing ...", "Done!", ...).
    virtual void ShowStatus(std::string_view text) = 0;

    // A progress text ("Comparing files, please wait ... 40%"), written every 1000 positions.
    // They come far more often than anyone can read them: a sink may show only the latest
    // at a pace of its own.
    virtual void ShowProgress(std::string_view text) { ShowStatus(text); }

    // Asked after each phase and progress text: true ends the run early, with CompareStopped.
    // Not asked once the report is complete.
    virtual bool StopRequested() { return false; }

    // A line of the report that tells about the run rather than a difference: a note above
    // the body (an offset set to 0, a range cut or empty) and the summary below it.
    virtual void AppendNote(std::string_view note) { AppendLine(note, 0, 0); }

    // The run ends with a failure or a stop: note is the report's last line. It says where a
    // run that ended early stopped and what it found before (instead of the summary), or,
    // after the summary of a run that compared its whole range, that a file changed while it
    // was read. A sink may show it as the status too, but must not let the window's events
    // run: the run is unwinding.
    virtual void AppendStopNote(std::string_view note) { AppendLine(note, 0, 0); }

    // The difference map, when the run keeps one: at the start, with the progress texts and
    // at the end, when it is Finished() and whatever the run did not compare is marked so, also
    // on an early end. It lives until the run returns.
    virtual void ShowMap(const DifferenceMap& /*map*/) {}

    // "Detected more than 1000 changes, continue?": true goes on, false stops the run.
    virtual bool ContinueAfter1000Changes() = 0;

    // The report is complete; the pane redraws its font (the bold flag is flipped twice).
    virtual void ReportComplete() = 0;

    // A sink that keeps the comparison as stretches (the command line's --runs) says so; the
    // engine then tells it the calls below, in the order of the files, besides the report.
    // Positions count from each file's first byte; what lies between two calls is equal.
    virtual bool KeepsStretches() const { return false; }
    // A sink that keeps only where a realigning comparison found bytes in one file alone (the
    // window's context view) says so; the engine then tells it OnlyInFile2, without the bytes,
    // and OnlyInFile1, and none of the other calls below.
    virtual bool KeepsEdits() const { return false; }
    // The compared ranges start at these positions.
    virtual void StretchesBegin(std::uint64_t /*position1*/, std::uint64_t /*position2*/) {}
    // A differing byte at position1 of file 1 and position2 of file 2; byte2 is file 2's.
    virtual void ChangedByte(std::uint64_t /*position1*/, std::uint64_t /*position2*/,
                             std::uint8_t /*byte2*/)
    {}
    // count bytes of file 2 from position2 that file 1 lacks before its position1; their
    // bytes follow, in order, through InsertedBytes.
    virtual void OnlyInFile2(std::uint64_t /*position1*/, std::uint64_t /*position2*/,
                             std::uint64_t /*count*/)
    {}
    virtual void InsertedBytes(std::span<const unsigned char> /*bytes*/) {}
    // count bytes of file 1 from position1 that file 2 lacks before its position2.
    virtual void OnlyInFile1(std::uint64_t /*position1*/, std::uint64_t /*count*/,
                             std::uint64_t /*position2*/)
    {}
    // The compared ranges end before these positions; not told on an early end.
    virtual void StretchesEnd(std::uint64_t /*position1*/, std::uint64_t /*position2*/) {}
};

} // namespace bFile
