#pragma once

#include "alignment.h"
#include "comparesink.h"
#include "eventpace.h"

#include <functional>
#include <string>

class MapStrip;
class QLabel;
class QWidget;
class ResultPane;

// Carries the engine's report into the result pane and its status texts into the status
// panel. Phase texts are shown at once; progress texts at most every 30 ms, because letting
// the window handle its events costs more than the comparison between two progress calls.
// Each time the events are handled, the lines gathered so far are put into the pane first,
// since a command run from there (save, find) may read it.
//
// The run stops when stopRequested() says so (the user pressed "&Stop" or Alt+S, or the window
// is closing), and ends in the pane's overflow error (std::overflow_error) at the progress
// text after its report outgrew the pane's memory budget.
class PaneSink final : public bFile::CompareSink
{
  public:
    PaneSink(ResultPane& pane, QLabel& status, QWidget* dialogParent,
             std::function<bool()> stopRequested);

    void AppendLine(std::string_view text, std::uint32_t colour, std::uint8_t indent) override;
    void ShowStatus(std::string_view text) override;
    void ShowProgress(std::string_view text) override;
    bool StopRequested() override;
    void AppendStopNote(std::string_view note) override;
    bool ContinueAfter1000Changes() override;
    void ReportComplete() override;
    void ShowMap(const bFile::DifferenceMap& map) override;

    // Where the difference map goes: at the run's start and end at once, in between each time
    // the window handles its events.
    void SetMapStrip(MapStrip* strip) { m_mapStrip = strip; }

    // Where a realigning run's edits go, for the context view; none keeps none.
    void KeepEdits(bFile::Alignment* into) { m_edits = into; }
    bool KeepsEdits() const override { return m_edits != nullptr; }
    void OnlyInFile1(std::uint64_t position1, std::uint64_t count, std::uint64_t position2) override
    {
        m_edits->OnlyInFile1(position1, count, position2);
    }
    void OnlyInFile2(std::uint64_t position1, std::uint64_t position2, std::uint64_t count) override
    {
        m_edits->OnlyInFile2(position1, position2, count);
    }

  private:
    static constexpr qint64 kProgressPaceMs = 30;

    // Shows the text at once, with the lines gathered so far and the running map.
    void ShowNow(std::string_view text);

    ResultPane& m_pane;
    QLabel& m_status;
    QWidget* m_dialogParent;
    std::function<bool()> m_stopRequested;
    bVarious::EventPace m_pace{kProgressPaceMs};
    qint64 m_reportBytes = 0; // what the report is estimated to take in the pane
    MapStrip* m_mapStrip = nullptr;
    bFile::Alignment* m_edits = nullptr;
    const bFile::DifferenceMap* m_runningMap = nullptr; // the engine's, while it runs
    std::string m_latestProgress;                       // the latest progress text, shown or not
};
