#pragma once

#include "longoperation.h"

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class ContextView;
class MapStrip;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class ResultPane;
class SplitBar;

namespace bFile {
class Alignment;
} // namespace bFile

// The program's one window: the result pane, the frame with the compare request, the menus
// and the status bar. Controls, menu items and handlers carry the names the rest of the
// program uses for them. The class lives in fmain_window.cpp (controls, menus, loading and
// closing), fmain_commands.cpp (the small window commands), fmain_compare.cpp (the compare
// command), fmain_findshift.cpp (Find Shift), fmain_document.cpp (save, search and the edit
// commands), fmain_context.cpp (the context view and its commands) and fmain_layout.cpp (the
// resize rules).
class fMAIN : public QMainWindow
{
    Q_OBJECT

  public:
    explicit fMAIN(QWidget* parent = nullptr);

    // True from the start of a comparison until it has unwound.
    bool IsComparing() const { return m_operation->IsComparing(); }

    // The document's state, as the commands leave it. Its controls, menus and menu items carry
    // their names as object names, by which the tests find them.
    QString ResultFile;
    bool ResultChanged = false;
    QString FindText;

  private:
    // Controls
    ResultPane* tOut = nullptr;
    MapStrip* picMAP = nullptr;        // the difference map, beside the pane
    ContextView* picCONTEXT = nullptr; // the context view, under the pane
    SplitBar* picSPLIT = nullptr;      // the bar between them
    QStatusBar* SB = nullptr;
    QLabel* SBPanel = nullptr; // the status bar's one panel, holding the status text
    QFrame* fraTab = nullptr;
    QLabel* laFILE1 = nullptr;
    QLineEdit* txtFILE1 = nullptr;
    QPushButton* cmdFILE1 = nullptr;
    QLabel* laFILE2 = nullptr;
    QLineEdit* txtFILE2 = nullptr;
    QPushButton* cmdFILE2 = nullptr;
    QLabel* lblOfs1 = nullptr;
    QLineEdit* txtOFS1 = nullptr;
    QLineEdit* txtOFS2 = nullptr;
    QRadioButton* optNormal = nullptr;
    QRadioButton* optLines = nullptr;
    QCheckBox* chkChars = nullptr;
    QPushButton* cmdRUN = nullptr;
    QPushButton* cmdEXIT = nullptr;

    // Menus
    QMenu* m1 = nullptr;
    QAction* mnuSAVE = nullptr;
    QAction* mnuSAVEAS = nullptr;
    QAction* mnuMRU = nullptr;
    QAction* mnuEXIT = nullptr;
    QMenu* m2 = nullptr;
    QAction* mnuCUT = nullptr;
    QAction* mnuCOPY = nullptr;
    QAction* mnuPASTE = nullptr;
    QAction* mnuLINE = nullptr;
    QAction* mnuFIND = nullptr;
    QAction* mnuFINDNXT = nullptr;
    QAction* mnuFINDSHIFT = nullptr;
    QAction* mnuNEXTDIFF = nullptr;
    QAction* mnuPREVDIFF = nullptr;
    QAction* mnuGOTO = nullptr;
    QAction* mnuSWAP = nullptr; // "Swap Files"
    QMenu* mnuSET = nullptr;
    QAction* mnuFONT = nullptr;
    QAction* mnuTOP = nullptr;
    QAction* mnuMAP = nullptr;     // "Difference Map"
    QAction* mnuCONTEXT = nullptr; // "Hex Context"
    QAction* mnuREALIGN = nullptr; // "Realign"
    QAction* mnuABOUT = nullptr;

    // Searches the pane for FindText from the end of the selection, asking for the text when
    // there is none. Stale: on a miss, search once more from the start before reporting it.
    void Hladaj(bool Stale);

  private Q_SLOTS:
    void Form_Load();
    void Form_Resize();
    void Form_Unload(int& Cancel);
    void cmdRUN_Click();
    void cmdFILE1_Click();
    void cmdFILE2_Click();
    void cmdEXIT_Click();
    void mnuSAVE_Click();
    void mnuSAVEAS_Click();
    void mnuEXIT_Click();
    void mnuCUT_Click();
    void mnuCOPY_Click();
    void mnuPASTE_Click();
    void mnuFIND_Click();
    void mnuFINDNXT_Click();
    void mnuFINDSHIFT_Click();
    void mnuNEXTDIFF_Click();
    void mnuPREVDIFF_Click();
    void mnuGOTO_Click();
    void mnuFONT_Click();
    void mnuTOP_Click();
    void mnuABOUT_Click();
    void tOut_Change();
    void tOut_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // How a save command ended; the save prompt keeps the window open after a failed write.
    enum class SaveEnd { Written, Cancelled, Failed };
    SaveEnd RunSave(bool askForPath); // "Save Result", or "Save Result As" when askForPath
    SaveEnd SaveResult();

    // The controls and the menus as designed, named by NameControls.
    void CreateControls();
    void CreateMenus();
    void NameControls();
    // Every handled event wired to its handler; OrderTabStops sets the designed tab order;
    // HandleEscape is what Esc does wherever the focus is.
    void ConnectHandlers();
    void OrderTabStops();
    // "Swap Files": file 1 and its offset change places with file 2 and its offset.
    void SwapFiles();

    // The request in the window's fields, when both files exist and both offsets are hex;
    // otherwise the first failed check's message box has been shown.
    struct CheckedRequest
    {
        std::string path1;
        std::string path2;
        std::uint32_t offset1;
        std::uint32_t offset2;
    };
    std::optional<CheckedRequest> CheckRequest();

    // The comparison, search or save under way, which the commands that would disturb it ask
    // first.
    std::unique_ptr<LongOperation> m_operation;

    // The difference map is shown when "Difference Map" is checked and a comparison has run.
    void ShowDifferenceMap();
    // The smallest size (QWidget::size()) the resize rules leave the window.
    QSize MinimumSize() const;

    // The context view is shown under the pane when "Hex Context" is checked and a comparison
    // has run; the bar between them moves the split.
    void ShowContextView();
    void MoveContextSplit(int y);
    // The pane's caret and the view follow each other.
    void tOut_CaretMoved();
    void FollowContextView(std::uint64_t position1);
    // Next Difference (forward) and Previous Difference.
    void FindContextDifference(bool forward);

    // The comparison the view shows, and how its report labels its lines.
    struct ViewedComparison
    {
        std::string path1;
        std::string path2;
        std::uint64_t offset1 = 0;
        std::uint64_t offset2 = 0;
        bool byLines = false;
        // A realigning comparison's edits, as far as it got; none for a plain one.
        std::shared_ptr<const bFile::Alignment> alignment = nullptr;
    };
    std::optional<ViewedComparison> m_viewed;
    int m_contextShare = 0;       // the view's share of the pane's area, in thousandths
    bool m_followingView = false; // the caret moves to the view's position
};
