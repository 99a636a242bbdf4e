#pragma once

#include "progresspace.h"

class QPlainTextEdit;
class QString;

namespace bVarious {

// The selected text as plain text, lines separated by '\n'; empty when nothing is selected.
// Gathered a paragraph at a time, with progress called between pieces of a long selection.
QString SelectionText(const QPlainTextEdit& pane, const WorkProgress& progress = {});

// Clears the clipboard, then puts the text on it in the plain-text format only.
void PutOnClipboard(const QString& text);

// The clipboard's plain text; empty when it holds no text.
QString ClipboardText();

// Replaces the selection with the text, or inserts it at the caret when nothing is selected,
// as one step of the pane's undo history; the caret ends after the text.
void ReplaceSelection(QPlainTextEdit& pane, const QString& text);

} // namespace bVarious
