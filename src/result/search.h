#pragma once

#include "progresspace.h"

class QPlainTextEdit;
class QString;

namespace bVarious {

// Looks for text in the pane from position start to the end of its text, ignoring letter case;
// a match may lie inside a word, and a line break in text matches a line break in the pane.
// A match is selected and its position returned; otherwise the result is -1 and the selection
// stays as it was. The pane's text is read a piece at a time, never copied whole, and
// progress is called between the pieces.
int FindInPane(QPlainTextEdit& pane, const QString& text, int start,
               const WorkProgress& progress = {});

} // namespace bVarious
