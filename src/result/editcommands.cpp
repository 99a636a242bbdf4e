#include "editcommands.h"

#include "largepages.h"
#include "panelines.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace bVarious {

QString SelectionText(const QPlainTextEdit& pane, const WorkProgress& progress)
{
    const QTextCursor cursor = pane.textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QString text;
    if (start == end)
        return text;
    text.reserve(end - start);
    // A whole report's copy is a buffer of hundreds of MiB, filled once from start to end.
    AdviseLargePages(text.data(), qint64(end - start) * qint64(sizeof(QChar)));
    ReadPaneText(*pane.document(), start, end, u"\n", text, [&](int reached) {
        if (progress)
            progress(reached - start, end - start);
        return true;
    });
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
