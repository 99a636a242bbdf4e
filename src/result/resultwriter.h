#pragma once

#include <QtGlobal>

class QString;
class ResultPane;

namespace bVarious {

// Appends indent blanks, the text and a line break at the pane's caret, all in the colour
// (0x00BBGGRR, red in the low byte), and leaves the caret after the line break. A "\r\n"
// inside the text is one more line break.
void AppendLine(ResultPane& pane, const QString& text, quint32 colour, quint8 indent);

// Freezing stops the pane's repainting and input and clears resultChanged; unfreezing shows
// everything written meanwhile, enables the pane, sets resultChanged (a fresh report counts
// as unsaved) and focuses the pane unless it is hidden.
void FreezeResult(ResultPane& pane, bool freeze, bool& resultChanged);

} // namespace bVarious
