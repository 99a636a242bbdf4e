#include "panesink.h"

#include "resultpane.h"
#include "resultwriter.h"
#include "statustext.h"
#include "version.h"

#include <QLabel>
#include <QMessageBox>

namespace {

constexpr qint64 progressPaceMs = 30;

QString fromUtf8(std::string_view text)
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
    bVarious::AppendLine(m_pane, fromUtf8(text), colour, indent);
}

void PaneSink::ShowStatus(std::string_view text)
{
    showNow(text);
}

void PaneSink::ShowProgress(std::string_view text)
{
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < progressPaceMs)
        return;
    showNow(text);
}

bool PaneSink::ContinueAfter1000Changes()
{
    m_pane.flushPending();
    QMessageBox box(QMessageBox::Question, QStringLiteral(LUMATRA_NAME),
                    QStringLiteral("Detected more than 1000 changes, continue?"),
                    QMessageBox::Yes | QMessageBox::No, m_dialogParent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void PaneSink::RefreshFont()
{
    // The font never changes under Qt; a repaint is all that flipping its bold flag achieved.
    m_pane.viewport()->update();
}

void PaneSink::showNow(std::string_view text)
{
    m_pane.flushPending();
    bFile::ShowStatus(m_status, fromUtf8(text));
    m_sinceEvents.restart();
    if (m_stopRequested && m_stopRequested())
        throw CompareStopped{};
}
