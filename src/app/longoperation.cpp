#include "longoperation.h"

#include "comparefiles.h"
#include "panesink.h"
#include "resultpane.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <new>
#include <utility>

LongOperation::End::End(End&& other) noexcept
    : m_closer(std::exchange(other.m_closer, nullptr)), m_ran(other.m_ran),
      m_postClose(other.m_postClose), m_stopped(other.m_stopped),
      m_failure(std::move(other.m_failure))
{}

LongOperation::End::~End()
{
    if (m_closer != nullptr)
        m_closer->CloseIfAsked(m_postClose);
}

bool LongOperation::End::Closing() const
{
    return m_closer != nullptr && m_closer->m_closeAsked;
}

LongOperation::LongOperation(QWidget& window, QPushButton& runButton, ResultPane& pane,
                             QLabel& status, const QList<QLineEdit*>& requestFields)
    : m_window(window), m_runButton(runButton), m_pane(pane), m_status(status),
      m_requestFields(requestFields)
{}

void LongOperation::RequestStop()
{
    if (!m_stoppable)
        return;
    m_stopRequested = true;
    m_runButtonRests = true;
}

bool LongOperation::PostponeClose()
{
    if (m_kind == Kind::Idle)
        return false;
    // A save, search or copy ends first; inside a comparison, the comparison stops after it.
    m_stopRequested = true;
    m_closeAsked = true;
    return true;
}

LongOperation::End LongOperation::RunStoppable(Kind kind, const QString& noMemory,
                                               const std::function<void(PaneSink&)>& work)
{
    if (!CanStart())
        return End(nullptr, false, false);
    m_kind = kind;
    m_stoppable = true;
    m_stopRequested = false;
    m_runButton.setText(QStringLiteral("&Stop"));
    QList<QLineEdit*> locked;
    for (QLineEdit* field : m_requestFields) {
        if (!field->isReadOnly()) {
            field->setReadOnly(true);
            locked.append(field);
        }
    }
    PaneSink sink(m_pane, m_status, &m_window, [this] { return m_stopRequested; });
    bool stopped = false;
    QString failure;
    try {
        work(sink);
    } catch (const bFile::CompareStopped&) {
        stopped = true;
    } catch (const std::bad_alloc&) {
        failure = noMemory;
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    for (QLineEdit* field : locked)
        field->setReadOnly(false);
    m_kind = Kind::Idle;
    m_stoppable = false;
    m_runButton.setText(QStringLiteral("&Compare"));
    if (m_runButtonRests)
        QTimer::singleShot(QApplication::doubleClickInterval(), &m_runButton,
                           [this] { m_runButtonRests = false; });
    End end(this, true, false);
    end.m_stopped = stopped;
    end.m_failure = failure;
    return end;
}

LongOperation::End
LongOperation::Run(Kind kind, const QString& statusText,
                   const std::function<void(const bVarious::WorkProgress&)>& work)
{
    if (!CanReadPane())
        return End(nullptr, false, false);
    const Kind kindBefore = m_kind;
    const bool stoppableBefore = m_stoppable;
    const bool wasReadOnly = m_pane.isReadOnly();
    const QString statusBefore = m_status.text();
    m_kind = kind;
    m_stoppable = false;
    m_pane.setReadOnly(true);
    const auto restore = [&] {
        m_pane.setReadOnly(wasReadOnly);
        m_status.setText(statusBefore);
        m_kind = kindBefore;
        m_stoppable = stoppableBefore;
    };
    bVarious::ProgressPace pace(m_status, statusText);
    try {
        work(pace.Callback());
    } catch (...) {
        restore();
        throw;
    }
    restore();
    // Inside a comparison, the comparison stops for a close asked for meanwhile, and closes.
    return End(kindBefore == Kind::Idle ? this : nullptr, true, true);
}

void LongOperation::CloseIfAsked(bool post)
{
    if (!m_closeAsked)
        return;
    m_closeAsked = false;
    if (post)
        QTimer::singleShot(0, &m_window, &QWidget::close);
    else
        m_window.close();
}
