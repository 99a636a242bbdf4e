#include "resultpane.h"

#include "panebudget.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <climits>
#include <stdexcept>

namespace {

// Lines gathered while frozen share a paragraph, this many at most, joined by line separators:
// a text document pays for every paragraph it holds, and a report of a million lines arrives
// several times sooner in paragraphs of 128 lines. Positions, the plain text, the search and
// the saved file count a line separator as the line break it is.
constexpr int kLinesPerParagraph = 128;

} // namespace

ResultPane::ResultPane(QWidget* parent)
    : QPlainTextEdit(parent), m_memoryBudget(bVarious::DefaultPaneBudget())
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The Edit menu becomes the pane's popup menu through MouseUp; Qt's own would compete.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void ResultPane::ApplyFont(const QFont& font)
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

void ResultPane::AddLine(const QString& line, const QColor& colour)
{
    const qint64 total = qint64(document()->characterCount()) + m_pending.size() + line.size() + 1;
    if (total > INT_MAX)
        throw std::overflow_error(kPaneFullMessage);
    if (!m_pending.isEmpty() && colour != m_pendingColour)
        FlushPending();
    m_pendingColour = colour;
    m_pending += line;
    if (m_frozen && ++m_pendingParagraphLines < kLinesPerParagraph) {
        m_pending += QChar(QChar::LineSeparator);
    } else {
        m_pending += QLatin1Char('\n');
        m_pendingParagraphLines = 0;
    }
    if (!m_frozen)
        FlushPending();
}

void ResultPane::FlushPending()
{
    if (m_pending.isEmpty())
        return;
    // The batch ends its paragraph, so the next line starts one as if it were the first.
    if (m_pending.back() == QChar::LineSeparator)
        m_pending.back() = QLatin1Char('\n');
    m_pendingParagraphLines = 0;
    QTextCharFormat format;
    format.setForeground(m_pendingColour);
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(m_pending, format); // replaces the selection; the caret ends after it
    CountLines(start, m_pending);
    m_pending.clear();
    setTextCursor(cursor);
}

void ResultPane::CountLines(int start, const QString& inserted)
{
    if (!inserted.contains(QChar::LineSeparator))
        return;
    QTextBlock block = document()->findBlock(start);
    int lines = 1 + int(block.text().left(start - block.position()).count(QChar::LineSeparator));
    for (qsizetype i = 0; i < inserted.size(); ++i) {
        const QChar c = inserted.at(i);
        if (c == QChar::LineSeparator) {
            ++lines;
        } else if (c == u'\n' || c == QChar::ParagraphSeparator ||
                   (c == u'\r' && (i + 1 == inserted.size() || inserted.at(i + 1) != u'\n'))) {
            block.setLineCount(lines);
            block = block.next();
            lines = 1;
        }
    }
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    Q_EMIT layout->documentSizeChanged(layout->documentSize());
}

void ResultPane::SetFrozen(bool frozen)
{
    if (frozen == m_frozen)
        return;
    if (!frozen)
        FlushPending();
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
