#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace bVarious {

// When a long piece of work lets the window handle its events again: at once the first time,
// then once intervalMs have passed since the last time. Handling the events costs more than
// the work between two calls, so most calls skip them.
class EventPace
{
  public:
    explicit EventPace(qint64 intervalMs) : m_intervalMs(intervalMs) {}

    // True the first time and whenever the interval has passed since the last Restart.
    bool Due() const { return !m_since.isValid() || m_since.elapsed() >= m_intervalMs; }
    // The window has just handled its events: the next turn is an interval away.
    void Restart() { m_since.restart(); }

  private:
    qint64 m_intervalMs;
    QElapsedTimer m_since;
};

} // namespace bVarious
