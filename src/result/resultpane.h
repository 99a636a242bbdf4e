#pragma once

#include <QColor>
#include <QPlainTextEdit>
#include <QTextCursor>

// The pane's overflow error: the report cannot grow in the pane, but the command line can
// write it whole.
inline constexpr char kPaneFullMessage[] =
    "The result pane cannot hold a longer report; the report so far is shown. "
    "lumatra-report -o writes reports of any size to a file.";

// The result pane `tOut`: the report's text widget. Besides the text it keeps the font's
// character-set code, which the settings store round-trips although Qt fonts have none.
//
// Line breaks are one position each, as in any Qt text document. While the pane is frozen,
// appended lines are gathered and inserted in one edit per colour, which is what lets a
// report of a million lines arrive in seconds; nobody sees the difference, because a frozen
// pane neither paints nor takes input. Whoever reads the pane while it is frozen calls
// FlushPending() first.
class ResultPane : public QPlainTextEdit
{
    Q_OBJECT

  public:
    explicit ResultPane(QWidget* parent = nullptr);

    int Charset() const { return m_charset; }
    void SetCharset(int charset) { m_charset = charset; }

    // Sets the pane's font; a face that does not resolve to a fixed-pitch font is replaced
    // by the system's fixed font of the same size and weight, so report columns line up.
    void ApplyFont(const QFont& font);

    // Appends the line and a line break at the caret (replacing any selection) in the colour,
    // and leaves the caret right after the line break. Throws std::overflow_error
    // (kPaneFullMessage) when the pane's positions would no longer fit in an int.
    void AddLine(const QString& line, const QColor& colour);

    // Frozen: no repainting, no undo history, lines batched. Unfreezing inserts what is
    // pending and repaints; it does not touch the enabled state or the focus.
    void SetFrozen(bool frozen);
    bool IsFrozen() const { return m_frozen; }

    // Inserts the lines gathered while frozen: at the caret, or after the batch before while the
    // pane stays frozen; the caret follows when the pane thaws.
    void FlushPending();

    // The memory a report in the pane may take, in bytes; the machine's share unless set.
    // A comparison whose report would take more ends in the pane's overflow error.
    qint64 MemoryBudget() const { return m_memoryBudget; }
    void SetMemoryBudget(qint64 bytes) { m_memoryBudget = bytes; }

  Q_SIGNALS:
    // A mouse button was released over the pane; x and y are in pixels from its top left.
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A frozen pane paints its empty background, at whatever size it has meanwhile.
    void paintEvent(QPaintEvent* event) override;
    // A new width lays the document out again, which forgets the line counts the batches set.
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Gives every paragraph the line count CountLines() found for it, after the document's
    // layout has forgotten them, so that the scroll bar keeps its place.
    void RestoreLineCounts();
    // Until a paragraph is laid out, the pane's layout counts it as one line; the scroll bar
    // needs the true count of the paragraphs that FlushPending() inserted from start.
    void CountLines(int start, const QString& inserted);
    // Moves the caret after the last batch, when batches were inserted since it was placed.
    void PlaceCaretAfterBatches();

    int m_charset = 238; // Central European
    bool m_frozen = false;
    // The document's length while frozen, kept up to date by each batch: the document walks a
    // tree to tell its length, and a report asked it for every line.
    int m_frozenChars = 0;
    QString m_pending;
    QTextCursor m_batchCursor;   // where the next batch goes; null when that is the caret
    bool m_linesCounted = false; // batches set line counts that the scroll bar has not seen
    bool m_inBatch = false;      // a batch is being inserted, whose line counts follow
    QColor m_pendingColour;
    int m_pendingParagraphLines = 0;
    qint64 m_memoryBudget;
};
