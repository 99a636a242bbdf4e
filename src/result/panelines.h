#pragma once

#include "progresspace.h"

#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <functional>

class QTextDocument;

// The pane's text read as lines. A line break is one position of the document, whichever way
// the document holds it: as a paragraph's end, or as a line separator inside a paragraph (typed
// with Shift+Enter, or joining the lines that a frozen ResultPane gathers into one paragraph).
// The document's last line has no line break. Every other character stands as it is.
namespace bVarious {

// Work on a whole report's text goes in pieces of about this many characters: small beside a
// report, large enough that each piece is worth its step (a write, a search, a progress call).
inline constexpr qsizetype kPieceChars = 256 * 1024;

// One line of a document: where it starts and its text without the line break. It steps to the
// next or the previous line; past either end of the document it is no longer valid. The
// document must not change while a PaneLine walks it.
class PaneLine
{
  public:
    // The line holding position, or ending right before it (a position on a line break belongs
    // to the line the break ends); invalid when the document has no such position.
    PaneLine(const QTextDocument& document, int position);

    bool IsValid() const { return m_block.isValid(); }
    int Position() const { return m_block.position() + int(m_start); }
    QStringView Text() const { return QStringView(m_paragraph).sliced(m_start, m_end - m_start); }

    // Steps to the next or the previous line.
    void Next();
    void Previous();

  private:
    // Enters block, on its first line or on its last.
    void Enter(const QTextBlock& block, bool last);

    QTextBlock m_block;
    QString m_paragraph;   // the block's text
    qsizetype m_start = 0; // the line's first character in m_paragraph
    qsizetype m_end = 0;   // its line break in m_paragraph, or m_paragraph's end
};

// Called each time a read has added a piece to its text, with the position read up to; false
// stops the read.
using PieceRead = std::function<bool(int reached)>;

// Appends the text of positions from to to (to excluded) of the document to text, each line
// break written as lineBreak. Each time kPieceChars characters or more were appended since its
// last call, pieceRead is called at the end of a line; it may take what was read out of text
// (write it and clear text, search it and keep a tail). The rest read after the last call is
// left in text. False when pieceRead stopped the read.
bool ReadPaneText(const QTextDocument& document, int from, int to, QStringView lineBreak,
                  QString& text, const PieceRead& pieceRead = {});

// The line break inside the runs that ForEachLineRun hands over.
inline constexpr QChar kRunLineBreak = QChar::LineSeparator;

// Hands visit the document's text from position from to its end, a run of whole lines at a
// time, each with the position of its first character; the first run starts at from. Within a
// run the lines are joined by kRunLineBreak; a run holds no other line break, and one line
// break lies between two runs. The text is not copied: made for looking at lines one by one,
// many lines a call. visit returns false to stop. Progress is called after about every
// kPieceChars characters, in positions of the document.
void ForEachLineRun(const QTextDocument& document, int from,
                    const std::function<bool(int position, QStringView lines)>& visit,
                    const WorkProgress& progress = {});

} // namespace bVarious
