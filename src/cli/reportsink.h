#pragma once

#include "comparesink.h"
#include "differencemap.h"
#include "outputfile.h"
#include "runsrecords.h"
#include "statusline.h"

// The command line's end of the engine: report lines go to the output with CR LF line
// breaks, status texts to the terminal's status line, and the question after 1000 changes
// is answered by an option.
class ReportSink : public bFile::CompareSink
{
  public:
    ReportSink(OutputFile& output, StatusLine& status, bool stopAfter1000);

    void AppendLine(std::string_view text, std::uint32_t colour, std::uint8_t indent) override;
    void ShowStatus(std::string_view text) override;
    bool ContinueAfter1000Changes() override;
    void ReportComplete() override {}

  private:
    OutputFile& m_output;
    StatusLine& m_status;
    bool m_stopAfter1000;
};

// Keeps the difference map instead of writing the report: the report's body is dropped, its
// notes are kept, and the map as the run left it stays for the caller to print.
class MapSink final : public ReportSink
{
  public:
    using ReportSink::ReportSink;

    void AppendLine(std::string_view, std::uint32_t, std::uint8_t) override {}
    // Notes given before the map was first shown go above it, the rest below.
    void AppendNote(std::string_view note) override;
    void AppendStopNote(std::string_view note) override;
    void ShowMap(const bFile::DifferenceMap& map) override;

    // The map as the run has left it.
    const bFile::DifferenceMap& Map() const { return m_map; }
    // What the report's place holds: the notes above the map and an empty line, the map, then
    // the summary, or the note of where the run stopped, and any warning. Lines end in CR LF.
    std::string Text() const;

  private:
    bFile::DifferenceMap m_map;
    bool m_mapShown = false;
    std::string m_above;
    std::string m_below;
};

// Writes the runs records (RunsRecords) instead of the report, as the engine tells the
// stretches; the summary record is the caller's.
class RunsSink final : public ReportSink
{
  public:
    RunsSink(OutputFile& output, StatusLine& status);

    void AppendLine(std::string_view, std::uint32_t, std::uint8_t) override {}
    bool KeepsStretches() const override { return true; }
    void StretchesBegin(std::uint64_t position1, std::uint64_t position2) override;
    void ChangedByte(std::uint64_t position1, std::uint64_t position2, std::uint8_t byte2) override;
    void OnlyInFile2(std::uint64_t position1, std::uint64_t position2,
                     std::uint64_t count) override;
    void InsertedBytes(std::span<const unsigned char> bytes) override;
    void OnlyInFile1(std::uint64_t position1, std::uint64_t count,
                     std::uint64_t position2) override;
    void StretchesEnd(std::uint64_t position1, std::uint64_t position2) override;

  private:
    bFile::RunsRecords m_records;
};
