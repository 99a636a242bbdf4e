#include "reportsink.h"

#include "maptext.h"

#include <string>

ReportSink::ReportSink(OutputFile& output, StatusLine& status, bool stopAfter1000)
    : m_output(output), m_status(status), m_stopAfter1000(stopAfter1000)
{}

void ReportSink::AppendLine(std::string_view text, std::uint32_t /*colour*/, std::uint8_t indent)
{
    if (indent > 0)
        m_output.Write(std::string(indent, ' '));
    m_output.WriteLine(text);
}

void ReportSink::ShowStatus(std::string_view text)
{
    m_status.Show(text);
}

bool ReportSink::ContinueAfter1000Changes()
{
    return !m_stopAfter1000;
}

void MapSink::AppendNote(std::string_view note)
{
    std::string& text = m_mapShown ? m_below : m_above;
    text.append(note).append("\r\n");
}

void MapSink::AppendStopNote(std::string_view note)
{
    m_below.append(note).append("\r\n");
}

void MapSink::ShowMap(const bFile::DifferenceMap& map)
{
    m_mapShown = true;
    if (map.Finished())
        m_map = map;
}

RunsSink::RunsSink(OutputFile& output, StatusLine& status)
    : ReportSink(output, status, false),
      m_records([&output](std::string_view text) { output.Write(text); })
{}

void RunsSink::StretchesBegin(std::uint64_t position1, std::uint64_t position2)
{
    m_records.Begin(position1, position2);
}

void RunsSink::ChangedByte(std::uint64_t position1, std::uint64_t position2, std::uint8_t byte2)
{
    m_records.Changed(position1, position2, byte2);
}

void RunsSink::OnlyInFile2(std::uint64_t position1, std::uint64_t position2, std::uint64_t count)
{
    m_records.OnlyInFile2(position1, position2, count);
}

void RunsSink::InsertedBytes(std::span<const unsigned char> bytes)
{
    m_records.InsertedBytes(bytes);
}

void RunsSink::OnlyInFile1(std::uint64_t position1, std::uint64_t count, std::uint64_t position2)
{
    m_records.OnlyInFile1(position1, count, position2);
}

void RunsSink::StretchesEnd(std::uint64_t position1, std::uint64_t position2)
{
    m_records.End(position1, position2);
}

std::string MapSink::Text() const
{
    const std::string map = MapText(m_map);
    // An empty line parts the notes from the map, as it parts them from the report's body.
    return m_above + (m_above.empty() || map.empty() ? "" : "\r\n") + map + m_below;
}
