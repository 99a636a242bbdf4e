#pragma once

class QWidget;

namespace bVarious {

// Keeps the top-level window above all ordinary windows, or releases it to the ordinary order.
// The window keeps its place and size, and stays shown and active when it was.
void SetTopMost(QWidget& window, bool onTop);

} // namespace bVarious
