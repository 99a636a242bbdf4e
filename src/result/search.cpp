#include "search.h"

#include <QPlainTextEdit>
#include <QStringMatcher>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace bVarious {

namespace {

// The pane's text is searched in pieces of about this many characters.
constexpr qsizetype kPieceChars = 256 * 1024;

// Appends a paragraph's text from its character at, then its paragraph separator unless it
// is the document's last; a line separator (Shift+Enter, or a line gathered into a paragraph)
// is a line break to the search as well, so that piece positions are document positions.
void AppendParagraph(QString& piece, const QTextBlock& block, int at)
{
    const qsizetype from = piece.size();
    piece.append(QStringView(block.text()).sliced(at));
    if (block.next().isValid())
        piece.append(QChar::ParagraphSeparator);
    for (qsizetype i = from; i < piece.size(); ++i) {
        if (piece.at(i) == QChar::LineSeparator)
            piece[i] = QChar::ParagraphSeparator;
    }
}

} // namespace

int FindInPane(QPlainTextEdit& pane, const QString& text, int start, const WorkProgress& progress)
{
    if (text.isEmpty() || start < 0)
        return -1;
    // A selection or a pasted text may carry its line breaks in any of these forms.
    QString needle = text;
    needle.replace(QStringLiteral("\r\n"), QString(QChar::ParagraphSeparator));
    for (const QChar lineBreak : {QChar(u'\n'), QChar(u'\r'), QChar(QChar::LineSeparator)})
        needle.replace(lineBreak, QChar::ParagraphSeparator);

    QTextDocument& document = *pane.document();
    QTextBlock block = document.findBlock(start);
    if (!block.isValid())
        return -1;
    const QStringMatcher matcher(needle, Qt::CaseInsensitive);
    const auto select = [&](qint64 found) {
        QTextCursor match(&document);
        match.setPosition(int(found));
        match.setPosition(int(found + needle.size()), QTextCursor::KeepAnchor);
        pane.setTextCursor(match);
        return int(found);
    };

    // A text without a line break lies within one line, and so within one paragraph: each
    // paragraph is searched where it stands, with no piece to copy it into.
    if (!needle.contains(QChar::ParagraphSeparator)) {
        qint64 sinceProgress = 0;
        for (int at = start - block.position(); block.isValid(); block = block.next(), at = 0) {
            const QString paragraph = block.text();
            const qsizetype found = matcher.indexIn(paragraph, at);
            if (found >= 0)
                return select(block.position() + found);
            sinceProgress += paragraph.size();
            if (sinceProgress >= kPieceChars && progress) {
                sinceProgress = 0;
                progress(block.position() + block.length(), document.characterCount());
            }
        }
        return -1;
    }

    // A match may begin near a piece's end: the next piece starts with that many characters
    // of this one.
    const qsizetype overlap = needle.size() - 1;
    QString piece;
    qint64 pieceStart = start;
    AppendParagraph(piece, block, start - block.position());
    for (;;) {
        while (piece.size() < kPieceChars && block.next().isValid()) {
            block = block.next();
            AppendParagraph(piece, block, 0);
        }
        const qsizetype found = matcher.indexIn(piece);
        if (found >= 0)
            return select(pieceStart + found);
        if (!block.next().isValid())
            return -1;
        const qsizetype kept = std::min(overlap, piece.size());
        pieceStart += piece.size() - kept;
        piece.remove(0, piece.size() - kept);
        if (progress)
            progress(pieceStart, document.characterCount());
    }
}

} // namespace bVarious
