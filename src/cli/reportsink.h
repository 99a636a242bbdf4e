#pragma once

#include "comparesink.h"
#include "outputfile.h"
#include "statusline.h"

// The command line's end of the engine: report lines go to the output with CR LF line
// breaks, status texts to the terminal's status line, and the question after 1000 changes
// is answered by an option.
class ReportSink final : public bFile::CompareSink
{
  public:
    ReportSink(OutputFile& output, StatusLine& status, bool stopAfter1000);

    void AppendLine(std::string_view text, std::uint32_t colour, std::uint8_t indent) override;
    void ShowStatus(std::string_view text) override;
    bool ContinueAfter1000Changes() override;
    void RefreshFont() override {}

  private:
    OutputFile& output_;
    StatusLine& status_;
    bool stopAfter1000_;
};
