#include "editcommands.h"

#include "largepages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace bVarious {

QString SelectionText(const QPlainTextEdit& pane, const WorkProgress& progress)
{
    constexpr qsizetype kPieceChars = 256 * 1024;
    const QTextCursor cursor = pane.textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QString text;
    if (start == end)
        return text;
    text.reserve(end - start);
    // A whole report's copy is a buffer of hundreds of MiB, filled once from start to end.
    AdviseLargePages(text.data(), qint64(end - start) * qint64(sizeof(QChar)));
    qsizetype sincePiece = 0;
    for (QTextBlock block = pane.document()->findBlock(start);
         block.isValid() && block.position() < end; block = block.next()) {
        const int from = std::max(start, block.position()) - block.position();
        const int to = std::min(end, block.position() + block.length()) - block.position();
        const qsizetype at = text.size();
        // The paragraph's own break lies past its text: a selection that takes it in takes a
        // line break.
        const QString paragraph = block.text();
        text.append(
            QStringView(paragraph).sliced(from, std::min<qsizetype>(to, paragraph.size()) - from));
        if (to > paragraph.size())
            text.append(u'\n');
        std::replace(text.begin() + at, text.end(), QChar(QChar::LineSeparator), QChar(u'\n'));
        sincePiece += text.size() - at;
        if (sincePiece >= kPieceChars && progress) {
            sincePiece = 0;
            progress(block.position() + block.length() - start, end - start);
        }
    }
    return text;
}

void PutOnClipboard(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QString ClipboardText()
{
    return QGuiApplication::clipboard()->text();
}

void ReplaceSelection(QPlainTextEdit& pane, const QString& text)
{
    QTextCursor cursor = pane.textCursor();
    // An empty edit block still counts as a change of the text.
    if (!cursor.hasSelection() && text.isEmpty())
        return;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertText(text);
    cursor.endEditBlock();
    pane.setTextCursor(cursor);
}

} // namespace bVarious
