#pragma once

class QLabel;
class QString;

namespace bFile {

// Puts the text into the status bar's panel and lets the window handle its pending events
// (paint, input, menu commands) before returning.
void ShowStatus(QLabel& panel, const QString& text);

} // namespace bFile
