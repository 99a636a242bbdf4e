#pragma once

#include <QFont>
#include <functional>

class QPlainTextEdit;
class QWidget;

namespace bVarious {

// The pane font as the store keeps it. A Qt font has no character set, so the code the store
// round-trips travels beside it.
struct PaneFont
{
    QFont font;
    int charset = 0;
};

// Puts a restored font on the pane; the pane decides what to show for a face it cannot use.
using ApplyPaneFont = std::function<void(const PaneFont&)>;

// Applies the stored window geometry and pane font at load, before the window is first shown:
// switches the pane's wrapping off, restores the outer window rectangle, fitted to the screen
// area it lands on, and the pane font (each stored value that is absent or unusable leaves that
// one setting as it is; bold is off unless stored as "1"), sets the caption and clears
// resultChanged. charset is the pane's current code; applyFont runs once, with the result.
void RestoreSettings(QWidget& window, QPlainTextEdit& pane, int charset,
                     const ApplyPaneFont& applyFont, bool& resultChanged);

// The settings step of the close: the outer window rectangle unless the window is minimized,
// then always the pane font. False when the store could not be written (already warned about).
bool StoreSettings(const QWidget& window, const PaneFont& paneFont);

} // namespace bVarious
