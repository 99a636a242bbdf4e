#include "fmain.h"
#include "mapstrip.h"
#include "resultpane.h"
#include "twips.h"

#include <QFrame>
#include <QStatusBar>

// The rules are designed for a window whose chrome C (title bar, menu bar and borders, the
// outer height minus the inner height) is 810 twips, and place the frame's top at
// outer height - 2300, that is at inner height + C - 2300. Here the inner area is everything
// below the menu bar (the central widget and the status bar, as designed), and the frame's top
// is taken as inner height + 810 - 2300 whatever the real decorations are, so the frame meets
// the pane's bottom edge and ends on the status bar's top edge as designed. The two size
// rules keep their meaning with the real window: outer sizes are the frame geometry the
// window manager reports.
void fMAIN::Form_Resize()
{
    if (isMinimized())
        return;

    // The size changes below come back as a resize event of their own, which lays the window
    // out again with the new size.
    const int borders = frameGeometry().width() - width();
    if (pixelsToTwips(centralWidget()->width()) < 8300)
        resize(twipsToPixels(8550) - borders, height());
    const int chrome = frameGeometry().height() - height();
    if (pixelsToTwips(centralWidget()->height() + SB->height()) < 5000)
        resize(width(), twipsToPixels(5000) - chrome);

    const int innerWidth = pixelsToTwips(centralWidget()->width());
    const int innerHeight = pixelsToTwips(centralWidget()->height() + SB->height());
    // The difference map takes the right edge of the pane's area while it is shown.
    const QRect paneArea(twipsToPixels(10), twipsToPixels(10), twipsToPixels(innerWidth - 30),
                         twipsToPixels(innerHeight - 1500));
    const int mapWidth = m_mapStrip->isHidden() ? 0 : MapStrip::kWidth;
    tOut->setGeometry(paneArea.adjusted(0, 0, -mapWidth, 0));
    m_mapStrip->setGeometry(paneArea.right() + 1 - mapWidth, paneArea.top(), mapWidth,
                            paneArea.height());
    constexpr int designedChrome = 810;
    fraTab->move(twipsToPixels(50), twipsToPixels(innerHeight + designedChrome - 2300));
}

void fMAIN::ShowDifferenceMap()
{
    m_mapStrip->setHidden(!m_mapItem->isChecked() || !m_mapStrip->HasMap());
    Form_Resize();
}
