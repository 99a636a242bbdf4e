#include "resultpane.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <climits>
#include <stdexcept>

ResultPane::ResultPane(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The Edit menu becomes the pane's popup menu through MouseUp; Qt's own would compete.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void ResultPane::applyFont(const QFont& font)
{
    QFont chosen = font;
    chosen.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(chosen).fixedPitch()) {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(font.pointSizeF());
        fixed.setBold(font.bold());
        // Keep the requested face name, so the settings store gets back what the user chose.
        fixed.setFamilies({font.family(), fixed.family()});
        chosen = fixed;
    }
    setFont(chosen);
}

void ResultPane::appendLine(const QString& line, const QColor& colour)
{
    const qint64 total = qint64(document()->characterCount()) + m_pending.size() + line.size() + 1;
    if (total > INT_MAX)
        throw std::overflow_error("The result pane cannot hold a longer report.");
    if (!m_pending.isEmpty() && colour != m_pendingColour)
        flushPending();
    m_pendingColour = colour;
    m_pending += line;
    m_pending += QLatin1Char('\n');
    if (!m_frozen)
        flushPending();
}

void ResultPane::flushPending()
{
    if (m_pending.isEmpty())
        return;
    QTextCharFormat format;
    format.setForeground(m_pendingColour);
    QTextCursor cursor = textCursor();
    cursor.insertText(m_pending, format); // replaces the selection; the caret ends after it
    m_pending.clear();
    setTextCursor(cursor);
}

void ResultPane::setFrozen(bool frozen)
{
    if (frozen == m_frozen)
        return;
    if (!frozen)
        flushPending();
    m_frozen = frozen;
    // Undo steps of a report cost memory and would let Ctrl+Z take a report apart line by line.
    document()->setUndoRedoEnabled(!frozen);
    setUpdatesEnabled(!frozen);
}

void ResultPane::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    Q_EMIT MouseUp(event->button(), event->modifiers(), at.x(), at.y());
}
