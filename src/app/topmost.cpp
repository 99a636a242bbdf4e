#include "topmost.h"

#include <QWidget>

namespace bVarious {

void SetTopMost(QWidget& window, bool onTop)
{
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    // A changed window flag hides a shown window, and showing it again lets some window
    // managers place it anew; the rectangle is put back as it was.
    const QRect geometry = window.geometry();
    const bool shown = window.isVisible();
    const bool active = window.isActiveWindow();
    const bool normal = window.windowState() == Qt::WindowNoState;
    window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (normal) // a maximized window keeps its state, which showing again restores
        window.setGeometry(geometry);
    if (shown) {
        window.show();
        if (active)
            window.activateWindow();
    }
}

} // namespace bVarious
