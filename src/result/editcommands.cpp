#include "editcommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace bVarious {

QString SelectionText(const QPlainTextEdit& pane)
{
    QString text = pane.textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
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
