#include "progresspace.h"

#include "statustext.h"

namespace bVarious {

ProgressPace::ProgressPace(QLabel& panel, const QString& text) : m_panel(panel), m_text(text) {}

void ProgressPace::Step(qint64 done, qint64 total)
{
    // The first step shows at once: the work has come this far because it is a long one.
    if (!m_pace.Due())
        return;
    const qint64 percent = total > 0 ? done * 100 / total : 100;
    bFile::ShowStatus(m_panel, m_text + QString::number(percent) + u'%');
    m_pace.Restart();
}

} // namespace bVarious
