#pragma once

#include "eventpace.h"

#include <QString>
#include <QtGlobal>
#include <functional>

class QLabel;

namespace bVarious {

// How far a long piece of work on a whole report has come: done of total units.
using WorkProgress = std::function<void(qint64 done, qint64 total)>;

// Keeps the window alive through a long piece of work done on its own thread: called between
// the work's pieces, it shows the text and the share done ("Saving ... 40%") in the status
// panel and lets the window handle its pending events, at the first step and then at most
// every kPaceMs, so that the window repaints and answers without the events costing more
// than the work. Work of one piece never calls it.
class ProgressPace
{
  public:
    static constexpr qint64 kPaceMs = 50;

    ProgressPace(QLabel& panel, const QString& text);

    // Shows the share done of total and lets the window handle its events, when it is time.
    void Step(qint64 done, qint64 total);
    WorkProgress Callback()
    {
        return [this](qint64 done, qint64 total) { Step(done, total); };
    }

  private:
    QLabel& m_panel;
    QString m_text;
    EventPace m_pace{kPaceMs};
};

} // namespace bVarious
