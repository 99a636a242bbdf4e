#include "contextsetting.h"
#include "contextview.h"
#include "fmain.h"
#include "mapstrip.h"
#include "resultpane.h"
#include "splitbar.h"
#include "twips.h"

#include <QFrame>
#include <QMenuBar>
#include <QStatusBar>

namespace {

// The layout rules in twips.
constexpr int kMinInnerWidth = 8300;  // narrower than this, the window snaps back to...
constexpr int kSnapOuterWidth = 8550; // ...this outer width
constexpr int kMinInnerHeight = 5000; // lower than this, the outer height snaps to it
constexpr int kPaneMargin = 10;       // the pane's left and top edge
constexpr int kPaneWidthLoss = 30;    // the pane is this much narrower than the inner area
constexpr int kBelowPane = 1500;      // the height the frame and status bar take under the pane
constexpr int kFrameLeft = 50;
constexpr int kDesignedChrome = 810;    // title bar, menu bar and borders the rules were made for
constexpr int kFrameAboveBottom = 2300; // the frame's top, measured up from the outer bottom

} // namespace

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
    if (PixelsToTwips(centralWidget()->width()) < kMinInnerWidth)
        resize(TwipsToPixels(kSnapOuterWidth) - borders, height());
    const int chrome = frameGeometry().height() - height();
    if (PixelsToTwips(centralWidget()->height() + SB->height()) < kMinInnerHeight)
        resize(width(), TwipsToPixels(kMinInnerHeight) - chrome);

    const int innerWidth = PixelsToTwips(centralWidget()->width());
    const int innerHeight = PixelsToTwips(centralWidget()->height() + SB->height());
    // The difference map takes the right edge of the pane's area while it is shown.
    QRect paneArea(TwipsToPixels(kPaneMargin), TwipsToPixels(kPaneMargin),
                   TwipsToPixels(innerWidth - kPaneWidthLoss),
                   TwipsToPixels(innerHeight - kBelowPane));
    // The context view takes the lower part of that area while it is shown, under the bar
    // that moves the split.
    if (!picCONTEXT->isHidden()) {
        const int viewHeight = paneArea.height() * m_contextShare / 1000;
        const int viewTop = paneArea.bottom() + 1 - viewHeight;
        picCONTEXT->setGeometry(paneArea.left(), viewTop, paneArea.width(), viewHeight);
        picSPLIT->setGeometry(paneArea.left(), viewTop - SplitBar::kHeight, paneArea.width(),
                              SplitBar::kHeight);
        paneArea.setBottom(viewTop - SplitBar::kHeight - 1);
    }
    const int mapWidth = picMAP->isHidden() ? 0 : MapStrip::kWidth;
    tOut->setGeometry(paneArea.adjusted(0, 0, -mapWidth, 0));
    picMAP->setGeometry(paneArea.right() + 1 - mapWidth, paneArea.top(), mapWidth,
                        paneArea.height());
    fraTab->move(TwipsToPixels(kFrameLeft),
                 TwipsToPixels(innerHeight + kDesignedChrome - kFrameAboveBottom));
}

QSize fMAIN::MinimumSize() const
{
    return {TwipsToPixels(kMinInnerWidth),
            TwipsToPixels(kMinInnerHeight) + menuBar()->sizeHint().height()};
}

void fMAIN::ShowDifferenceMap()
{
    picMAP->setHidden(!mnuMAP->isChecked() || !picMAP->HasMap());
    Form_Resize();
}
