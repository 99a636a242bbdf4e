#include "panesink.h"

#include "mapstrip.h"
#include "panebudget.h"
#include "plainbox.h"
#include "resultpane.h"
#include "resultwriter.h"
#include "statustext.h"
#include "version.h"

#include <QLabel>
#include <stdexcept>

namespace {

// The engine's UTF-8 text as a QString.
QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

PaneSink::PaneSink(ResultPane& pane, QLabel& status, QWidget* dialogParent,
                   std::function<bool()> stopRequested)
    : m_pane(pane), m_status(status), m_dialogParent(dialogParent),
      m_stopRequested(std::move(stopRequested))
{}

void PaneSink::AppendLine(std::string_view text, std::uint32_t colour, std::uint8_t indent)
{
    // Report lines are ASCII but for the paths: their UTF-8 length is close enough.
    m_reportBytes += bVarious::kPaneBytesPerLine + 2 * qint64(text.size() + indent);
    bVarious::AppendLine(m_pane, FromUtf8(text), colour, indent);
}

void PaneSink::ShowStatus(std::string_view text)
{
    ShowNow(text);
}

void PaneSink::ShowProgress(std::string_view text)
{
    if (m_reportBytes > m_pane.MemoryBudget())
        throw std::overflow_error(kPaneFullMessage);
    m_latestProgress.assign(text);
    if (!m_pace.Due())
        return;
    ShowNow(text);
}

bool PaneSink::StopRequested()
{
    return m_stopRequested && m_stopRequested();
}

// The note stays in the status panel after the run; the window's events wait for its end.
void PaneSink::AppendStopNote(std::string_view note)
{
    AppendLine(note, 0, 0);
    m_pane.FlushPending();
    m_status.setText(FromUtf8(note));
}

// The status and the map show where the run stands while the question waits: the latest
// progress text, or, before the first one, that the comparison has begun.
bool PaneSink::ContinueAfter1000Changes()
{
    ShowNow(m_latestProgress.empty() ? std::string_view("Comparing files, please wait ...")
                                     : std::string_view(m_latestProgress));
    return bVarious::PlainMessageBox(
               m_dialogParent, QMessageBox::Question, QStringLiteral(LUMATRA_NAME),
               QStringLiteral("Detected more than 1000 changes, continue?"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void PaneSink::ReportComplete()
{
    // The font never changes under Qt; a repaint is all that flipping its bold flag achieved.
    m_pane.viewport()->update();
}

void PaneSink::ShowMap(const bFile::DifferenceMap& map)
{
    if (m_mapStrip == nullptr)
        return;
    if (m_runningMap == nullptr || map.Finished())
        m_mapStrip->SetMap(map);
    m_runningMap = map.Finished() ? nullptr : &map;
}

void PaneSink::ShowNow(std::string_view text)
{
    m_pane.FlushPending();
    if (m_runningMap != nullptr)
        m_mapStrip->SetMap(*m_runningMap);
    bFile::ShowStatus(m_status, FromUtf8(text));
    m_pace.Restart();
}
