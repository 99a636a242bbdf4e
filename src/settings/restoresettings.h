#pragma once

class QWidget;
class ResultPane;

namespace bVarious {

// Applies the stored window geometry and pane font at load, before the window is first shown:
// switches the pane's wrapping off, restores the outer window rectangle and the pane font
// (each stored value that is absent or unusable leaves that one setting as it is; bold is off
// unless stored as "1"), sets the caption and clears resultChanged.
void RestoreSettings(QWidget& window, ResultPane& pane, bool& resultChanged);

// The settings step of the close: the outer window rectangle unless the window is minimized,
// then always the pane font. False when the store could not be written (already warned about).
bool StoreSettings(const QWidget& window, const ResultPane& pane);

} // namespace bVarious
