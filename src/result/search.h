#pragma once

class QPlainTextEdit;
class QString;

namespace bVarious {

// Looks for text in the pane from position start to the end of its text, ignoring letter case;
// a match may lie inside a word, and a line break in text matches a line break in the pane.
// A match is selected and its position returned; otherwise the result is -1 and the selection
// stays as it was. Repeated searches of an unchanged pane are quick even for a report of a
// million lines: the pane's text is taken once and kept until the pane changes.
int FindInPane(QPlainTextEdit& pane, const QString& text, int start);

} // namespace bVarious
