#pragma once

#include "comparesink.h"
#include "statusline.h"

// The sink of a run that writes no report (Find Shift, the search for a difference): its
// status and progress texts on the terminal's status line, nothing else.
class StatusSink final : public bFile::CompareSink
{
  public:
    explicit StatusSink(StatusLine& status) : m_status(status) {}

    void AppendLine(std::string_view, std::uint32_t, std::uint8_t) override {}
    void ShowStatus(std::string_view text) override { m_status.Show(text); }
    bool ContinueAfter1000Changes() override { return true; }
    void ReportComplete() override {}

  private:
    StatusLine& m_status;
};
