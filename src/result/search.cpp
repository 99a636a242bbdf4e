#include "search.h"

#include "panelines.h"

#include <QPlainTextEdit>
#include <QStringMatcher>
#include <QTextCursor>
#include <QTextDocument>

namespace bVarious {

namespace {

// A line break of the text looked for, and of the pane's text while a match may span lines:
// one character, so that positions in a piece are positions in the pane.
constexpr QChar kNeedleBreak = QChar::ParagraphSeparator;

} // namespace

int FindInPane(QPlainTextEdit& pane, const QString& text, int start, const WorkProgress& progress)
{
    if (text.isEmpty() || start < 0)
        return -1;
    // A selection or a pasted text may carry its line breaks in any of these forms.
    QString needle = text;
    needle.replace(QStringLiteral("\r\n"), QString(kNeedleBreak));
    for (const QChar lineBreak : {QChar(u'\n'), QChar(u'\r'), QChar(QChar::LineSeparator)})
        needle.replace(lineBreak, kNeedleBreak);

    QTextDocument& document = *pane.document();
    const int end = document.characterCount() - 1;
    if (start > end)
        return -1;
    const QStringMatcher matcher(needle, Qt::CaseInsensitive);
    const auto select = [&](qint64 found) {
        QTextCursor match(&document);
        match.setPosition(int(found));
        match.setPosition(int(found + needle.size()), QTextCursor::KeepAnchor);
        pane.setTextCursor(match);
        return int(found);
    };

    // A text without a line break lies within one line: the lines are searched where they
    // stand, with no piece to copy them into.
    if (!needle.contains(kNeedleBreak)) {
        qint64 found = -1;
        ForEachLineRun(
            document, start,
            [&](int position, QStringView lines) {
                const qsizetype at = matcher.indexIn(lines);
                if (at >= 0)
                    found = position + at;
                return at < 0;
            },
            progress);
        return found >= 0 ? select(found) : -1;
    }

    // A match may begin near a piece's end: the next piece starts with that many characters
    // of this one.
    const qsizetype overlap = needle.size() - 1;
    QString piece;
    qint64 pieceStart = start;
    qint64 found = -1;
    const auto searchPiece = [&] {
        const qsizetype at = matcher.indexIn(piece);
        if (at >= 0)
            found = pieceStart + at;
        return at >= 0;
    };
    const bool readToEnd =
        ReadPaneText(document, start, end, QStringView(&kNeedleBreak, 1), piece, [&](int) {
            if (searchPiece())
                return false;
            const qsizetype kept = std::min(overlap, piece.size());
            pieceStart += piece.size() - kept;
            piece.remove(0, piece.size() - kept);
            if (progress)
                progress(pieceStart, document.characterCount());
            return true;
        });
    if (readToEnd)
        searchPiece();
    return found >= 0 ? select(found) : -1;
}

} // namespace bVarious
