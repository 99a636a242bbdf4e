#include "reportsink.h"

#include <string>

ReportSink::ReportSink(OutputFile& output, StatusLine& status, bool stopAfter1000)
    : output_(output), status_(status), stopAfter1000_(stopAfter1000)
{}

void ReportSink::AppendLine(std::string_view text, std::uint32_t /*colour*/, std::uint8_t indent)
{
    if (indent > 0)
        output_.Write(std::string(indent, ' '));
    output_.WriteLine(text);
}

void ReportSink::ShowStatus(std::string_view text)
{
    status_.Show(text);
}

bool ReportSink::ContinueAfter1000Changes()
{
    return !stopAfter1000_;
}

void MapSink::ShowMap(const bFile::DifferenceMap& map)
{
    if (map.Finished())
        m_map = map;
}
