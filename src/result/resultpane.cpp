#include "resultpane.h"

#include "fixedpitchfont.h"
#include "panebudget.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <climits>
#include <stdexcept>

namespace {

// Lines gathered while frozen share a paragraph, this many at most, joined by line separators:
// a text document pays for every paragraph it holds, and a report of a million lines arrives
// several times sooner in paragraphs of 128 lines. Positions and the plain text count a line
// separator as the line break it is, and so does everything that reads the pane's lines
// (panelines.h).
constexpr int kLinesPerParagraph = 128;

// A frozen pane passes its lines on to the document in batches of about this many characters,
// whole paragraphs each: the document then grows at an even pace between the window's turns
// at its events, instead of in one large step at every turn.
constexpr qsizetype kBatchChars = 512 * 1024;

} // namespace

ResultPane::ResultPane(QWidget* parent)
    : QPlainTextEdit(parent), m_memoryBudget(bVarious::DefaultPaneBudget())
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The Edit menu becomes the pane's popup menu through MouseUp; Qt's own would compete.
    setContextMenuPolicy(Qt::NoContextMenu);
    // An edit may change a paragraph's line count: the one its batch had no longer holds.
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int, int added) {
        if (m_inBatch)
            return;
        const QTextBlock last = document()->findBlock(position + added);
        for (QTextBlock block = document()->findBlock(position); block.isValid();
             block = block.next()) {
            block.setUserState(-1);
            if (block == last)
                break;
        }
    });
}

void ResultPane::ApplyFont(const QFont& font)
{
    setFont(FixedPitchFont(font));
}

void ResultPane::AddLine(const QString& line, const QColor& colour)
{
    const qint64 shown = m_frozen ? m_frozenChars : document()->characterCount();
    const qint64 total = shown + m_pending.size() + line.size() + 1;
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
    if (!m_frozen || (m_pendingParagraphLines == 0 && m_pending.size() >= kBatchChars))
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
    // The first batch goes to the caret; while frozen, each next one follows the last, and the
    // caret moves only when the pane thaws: placing it lays out its paragraph every time.
    if (m_batchCursor.isNull())
        m_batchCursor = textCursor();
    const int start = m_batchCursor.selectionStart();
    m_inBatch = true;
    m_batchCursor.insertText(m_pending, format); // replaces the selection; ends after the text
    m_inBatch = false;
    CountLines(start, m_pending);
    m_pending.resize(0); // keeps its memory for the next batch
    if (m_frozen)
        m_frozenChars = document()->characterCount();
    else
        PlaceCaretAfterBatches();
}

void ResultPane::PlaceCaretAfterBatches()
{
    if (m_batchCursor.isNull())
        return;
    setTextCursor(m_batchCursor);
    m_batchCursor = QTextCursor();
    if (m_linesCounted) {
        // The scroll bar learns the line counts that the batches set.
        m_linesCounted = false;
        QAbstractTextDocumentLayout* layout = document()->documentLayout();
        Q_EMIT layout->documentSizeChanged(layout->documentSize());
    }
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
            block.setUserState(lines); // the layout may forget the count, the block keeps it
            block = block.next();
            lines = 1;
        }
    }
    m_linesCounted = true;
}

void ResultPane::SetFrozen(bool frozen)
{
    if (frozen == m_frozen)
        return;
    m_frozen = frozen;
    if (frozen) {
        m_frozenChars = document()->characterCount();
    } else {
        FlushPending();
        PlaceCaretAfterBatches();
        m_pending.squeeze();
    }
    // Undo steps of a report cost memory and would let Ctrl+Z take a report apart line by line.
    document()->setUndoRedoEnabled(!frozen);
    viewport()->update();
}

void ResultPane::paintEvent(QPaintEvent* event)
{
    if (!m_frozen)
        return QPlainTextEdit::paintEvent(event);
    QPainter(viewport()).fillRect(event->rect(), palette().brush(QPalette::Base));
}

void ResultPane::resizeEvent(QResizeEvent* event)
{
    if (event->oldSize().width() == event->size().width())
        return QPlainTextEdit::resizeEvent(event);
    // The view's first line, kept by its paragraph and its line in it: the scroll bar's value
    // counts lines, and those counts change meanwhile.
    const QTextBlock top = firstVisibleBlock();
    const int topBlock = top.blockNumber();
    const int topLine = std::max(0, verticalScrollBar()->value() - top.firstLineNumber());
    QPlainTextEdit::resizeEvent(event);
    RestoreLineCounts();
    if (topBlock >= 0) {
        const QTextBlock block = document()->findBlockByNumber(topBlock);
        if (block.isValid())
            verticalScrollBar()->setValue(block.firstLineNumber() + topLine);
    }
}

void ResultPane::RestoreLineCounts()
{
    bool restored = false;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        if (block.userState() > 1 && block.lineCount() != block.userState()) {
            block.setLineCount(block.userState());
            restored = true;
        }
    }
    if (restored) {
        QAbstractTextDocumentLayout* layout = document()->documentLayout();
        Q_EMIT layout->documentSizeChanged(layout->documentSize());
    }
}

void ResultPane::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    Q_EMIT MouseUp(event->button(), event->modifiers(), at.x(), at.y());
}
