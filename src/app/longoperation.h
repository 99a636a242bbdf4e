#pragma once

#include "progresspace.h"

#include <QList>
#include <QString>
#include <functional>

class PaneSink;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class ResultPane;

// The long operation under way in the window, if any. It lets the window handle its events
// while it runs, so the commands that would disturb it ask here first. A comparison or a
// search for a shift can be stopped: meanwhile "&Compare" reads "&Stop" and the fields of the
// request are read-only, so that what the run tells matches the files named. A close asked for
// while an operation runs stops it, and the window closes once the command that ran it has
// finished with what it came to.
class LongOperation
{
  public:
    enum class Kind {
        Idle,
        Comparing,
        FindingShift,
        FindingDifference,
        Saving,
        Searching,
        Copying
    };

    // What an operation came to. When the end of an operation started with nothing else under
    // way goes, the window closes if a close was asked for meanwhile: the command that ran it
    // keeps this until it has shown what it has to show. After a stoppable operation the window
    // closes right then; after work on the report, which may run from a menu still handling its
    // click, once the window's events are handled next.
    class [[nodiscard]] End
    {
      public:
        // Takes over other's duty to close the window.
        End(End&& other) noexcept;
        End(const End&) = delete;
        End& operator=(const End&) = delete;
        End& operator=(End&&) = delete;
        ~End();

        // False when another operation was under way, and nothing was done.
        bool Ran() const { return m_ran; }
        // It ended early, through "&Stop" or a close.
        bool Stopped() const { return m_stopped; }
        // The message of the failure it ended in; empty when it did not fail.
        const QString& Failure() const { return m_failure; }
        // The window closes when this end goes: there is nothing more to show.
        bool Closing() const;

      private:
        friend class LongOperation;
        End(LongOperation* closer, bool ran, bool postClose)
            : m_closer(closer), m_ran(ran), m_postClose(postClose)
        {}

        LongOperation* m_closer; // null unless this operation started with nothing under way
        bool m_ran;
        bool m_postClose;
        bool m_stopped = false;
        QString m_failure;
    };

    // The window it closes, its "&Compare" button, the pane the work reads or writes, the
    // status panel and the fields a comparison or a search for a shift reads its files and
    // offsets from.
    LongOperation(QWidget& window, QPushButton& runButton, ResultPane& pane, QLabel& status,
                  const QList<QLineEdit*>& requestFields);

    // Nothing runs: a comparison, a search for a shift or a search of the report may start.
    bool CanStart() const { return m_kind == Kind::Idle; }
    // The caret and the text may change: nothing runs, since a comparison writes its next line
    // where the caret is.
    bool CanEditPane() const { return m_kind == Kind::Idle; }
    // The report may be read whole (saved, copied): nothing runs but maybe a comparison, which
    // waits meanwhile.
    bool CanReadPane() const { return m_kind == Kind::Idle || m_kind == Kind::Comparing; }
    // What runs ends at "&Stop".
    bool CanStop() const { return m_stoppable; }
    // A comparison runs.
    bool IsComparing() const { return m_kind == Kind::Comparing; }
    // The run button may act on a click: not after "&Stop" until the stopped run has unwound
    // and a double-click interval has passed, so that a click meant for "&Stop" never starts
    // the next run.
    bool RunButtonTakesClick() const { return !m_runButtonRests; }

    // "&Stop": a stoppable operation ends at its next status or progress text.
    void RequestStop();
    // The window is asked to close. False when nothing runs and it may close now; otherwise
    // the operation under way is asked to stop and the window closes once it has unwound.
    bool PostponeClose();

    // Runs a stoppable operation, writing through a pane sink that stops at its next status or
    // progress text once a stop was asked for. A failure ends it with its message; noMemory is
    // the message when memory ran out. Nothing runs when another operation is under way.
    End RunStoppable(Kind kind, const QString& noMemory,
                     const std::function<void(PaneSink&)>& work);
    // Runs work on the whole report, which reports its progress through the callback it is
    // given: the pane takes no input meanwhile, and the status panel shows statusText with the
    // share done, then what it showed before. Nothing runs inside another operation but a
    // comparison. What the work throws passes on.
    End Run(Kind kind, const QString& statusText,
            const std::function<void(const bVarious::WorkProgress&)>& work);

  private:
    // Closes the window, at once or through its events, when a close was asked for while an
    // operation ran.
    void CloseIfAsked(bool post);

    QWidget& m_window;
    QPushButton& m_runButton;
    ResultPane& m_pane;
    QLabel& m_status;
    QList<QLineEdit*> m_requestFields;
    Kind m_kind = Kind::Idle;
    bool m_stoppable = false;
    bool m_stopRequested = false;
    bool m_closeAsked = false;
    bool m_runButtonRests = false;
};
