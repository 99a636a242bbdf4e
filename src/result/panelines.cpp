#include "panelines.h"

#include <QTextDocument>
#include <algorithm>

namespace bVarious {

namespace {

// Inside a paragraph, lines are joined by this character; its own end is the paragraph's break.
constexpr QChar kInnerBreak = QChar::LineSeparator;

// Appends lines, joined by kInnerBreak, to text with lineBreak between them.
void AppendLines(QString& text, QStringView lines, QStringView lineBreak)
{
    if (lineBreak.size() == 1) {
        // One character for another, in place: far cheaper than a line at a time.
        const qsizetype at = text.size();
        text.append(lines);
        std::replace(text.begin() + at, text.end(), kInnerBreak, lineBreak.front());
        return;
    }
    qsizetype from = 0;
    for (qsizetype at = lines.indexOf(kInnerBreak); at >= 0;
         at = lines.indexOf(kInnerBreak, from)) {
        text.append(lines.sliced(from, at - from)).append(lineBreak);
        from = at + 1;
    }
    text.append(lines.sliced(from));
}

// The end of the line holding a paragraph's character at: its line separator, or the
// paragraph's end.
qsizetype LineEnd(const QString& paragraph, qsizetype at)
{
    const qsizetype end = paragraph.indexOf(kInnerBreak, at);
    return end < 0 ? paragraph.size() : end;
}

// The start of the line holding a paragraph's character at, a line separator being the end of
// the line before it.
qsizetype LineStart(const QString& paragraph, qsizetype at)
{
    // lastIndexOf counts a negative start from the end.
    return at == 0 ? 0 : paragraph.lastIndexOf(kInnerBreak, at - 1) + 1;
}

} // namespace

PaneLine::PaneLine(const QTextDocument& document, int position)
    : m_block(document.findBlock(position))
{
    if (!m_block.isValid())
        return;
    m_paragraph = m_block.text();
    const qsizetype at = position - m_block.position();
    m_start = LineStart(m_paragraph, at);
    m_end = LineEnd(m_paragraph, at);
}

void PaneLine::Enter(const QTextBlock& block, bool last)
{
    m_block = block;
    if (!m_block.isValid())
        return;
    m_paragraph = m_block.text();
    m_start = last ? LineStart(m_paragraph, m_paragraph.size()) : 0;
    m_end = last ? m_paragraph.size() : LineEnd(m_paragraph, 0);
}

void PaneLine::Next()
{
    if (m_end == m_paragraph.size()) {
        Enter(m_block.next(), false);
        return;
    }
    m_start = m_end + 1;
    m_end = LineEnd(m_paragraph, m_start);
}

void PaneLine::Previous()
{
    if (m_start == 0) {
        Enter(m_block.previous(), true);
        return;
    }
    m_end = m_start - 1;
    m_start = LineStart(m_paragraph, m_end);
}

bool ReadPaneText(const QTextDocument& document, int from, int to, QStringView lineBreak,
                  QString& text, const PieceRead& pieceRead)
{
    if (from > to)
        return true;
    qsizetype sincePiece = 0;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const QString paragraph = block.text();
        const int position = block.position();
        const qsizetype first = std::max(from, position) - position;
        const qsizetype last = std::min<qsizetype>(to - position, paragraph.size());
        const qsizetype before = text.size();
        AppendLines(text, QStringView(paragraph).sliced(first, last - first), lineBreak);
        // The paragraph's own break lies right after its text.
        if (position + paragraph.size() < to)
            text.append(lineBreak);
        sincePiece += text.size() - before;
        if (sincePiece >= kPieceChars && pieceRead) {
            sincePiece = 0;
            if (!pieceRead(std::min(to, position + block.length())))
                return false;
        }
    }
    return true;
}

void ForEachLineRun(const QTextDocument& document, int from,
                    const std::function<bool(int position, QStringView lines)>& visit,
                    const WorkProgress& progress)
{
    // A paragraph is a run: its lines are joined by kInnerBreak, which is kRunLineBreak.
    static_assert(kInnerBreak == kRunLineBreak);
    qint64 sinceProgress = 0;
    QTextBlock block = document.findBlock(from);
    for (int at = from - block.position(); block.isValid(); block = block.next(), at = 0) {
        const QString paragraph = block.text();
        if (!visit(block.position() + at, QStringView(paragraph).sliced(at)))
            return;
        sinceProgress += paragraph.size();
        if (sinceProgress >= kPieceChars && progress) {
            sinceProgress = 0;
            progress(block.position() + block.length(), document.characterCount());
        }
    }
}

} // namespace bVarious
