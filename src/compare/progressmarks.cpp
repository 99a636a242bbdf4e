#include "progressmarks.h"

#include "compareerror.h"
#include "reportformat.h"

#include <utility>

namespace bFile {

ProgressMarks::ProgressMarks(CompareSink& sink, std::uint64_t count)
    : m_sink(sink), m_percentUnit(static_cast<double>(count - 1) / 100.0)
{}

void ProgressMarks::ShowThrough(std::uint64_t index)
{
    while (m_nextMark <= index) {
        // The quotient is never negative, so dropping its fraction rounds it down.
        const auto percent =
            static_cast<std::uint64_t>(static_cast<double>(m_nextMark) / m_percentUnit);
        if (percent != m_shownPercent || m_text.empty()) {
            m_shownPercent = percent;
            m_text = "Comparing files, please wait ... " + bVarious::DecimalNumber(percent) + "%" +
                     m_note;
        }
        m_sink.ShowProgress(m_text);
        m_nextMark += kStep;
        if (m_sink.StopRequested())
            throw CompareStopped();
    }
}

void ProgressMarks::SetNote(std::string note)
{
    m_note = std::move(note);
    m_text.clear();
}

} // namespace bFile
