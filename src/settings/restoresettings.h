#pragma once

#include <QFont>
#include <QSize>

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

// Applies the stored window geometry at load, before the window is first shown: switches the
// pane's wrapping off, restores the outer window rectangle, fitted to the screen area it lands
// on and made no smaller than minimumSize (the window's smallest QWidget::size()), sets the
// caption and clears resultChanged. Returns the pane font to put on the pane: the
// pane's font and its current charset, with each stored value that is present and usable
// (bold is off unless stored as "1"); the pane decides what to show for a face it cannot use.
PaneFont RestoreSettings(QWidget& window, QPlainTextEdit& pane, int charset, bool& resultChanged,
                         QSize minimumSize = QSize());

// The settings step of the close: the outer window rectangle unless the window is minimized,
// then always the pane font. False when the store could not be written (already warned about).
bool StoreSettings(const QWidget& window, const PaneFont& paneFont);

} // namespace bVarious
