#include "reportsink.h"

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

void MapSink::ShowMap(const bFile::DifferenceMap& map)
{
    if (map.Finished())
        m_map = map;
}
