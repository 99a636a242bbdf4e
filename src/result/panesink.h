#pragma once

#include "comparesink.h"

#include <QElapsedTimer>
#include <functional>

class QLabel;
class QWidget;
class ResultPane;

// Thrown out of a running comparison when its window asked it to stop (it is closing).
struct CompareStopped
{
};

// Carries the engine's report into the result pane and its status texts into the status
// panel. Phase texts are shown at once; progress texts at most every 30 ms, because letting
// the window handle its events costs more than the comparison between two progress calls.
// Each time the events are handled, the lines gathered so far are put into the pane first,
// since a command run from there (save, find) may read it; afterwards the sink throws
// CompareStopped when stopRequested() says so.
class PaneSink final : public bFile::CompareSink
{
  public:
    PaneSink(ResultPane& pane, QLabel& status, QWidget* dialogParent,
             std::function<bool()> stopRequested);

    void AppendLine(std::string_view text, std::uint32_t colour, std::uint8_t indent) override;
    void ShowStatus(std::string_view text) override;
    void ShowProgress(std::string_view text) override;
    bool ContinueAfter1000Changes() override;
    void RefreshFont() override;

  private:
    void showNow(std::string_view text);

    ResultPane& m_pane;
    QLabel& m_status;
    QWidget* m_dialogParent;
    std::function<bool()> m_stopRequested;
    QElapsedTimer m_sinceEvents;
};
