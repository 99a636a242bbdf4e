#include "contextsetting.h"
#include "contextview.h"
#include "filedrop.h"
#include "fmain.h"
#include "hexoffset.h"
#include "lengthlimit.h"
#include "mapstrip.h"
#include "menuchecks.h"
#include "plainbox.h"
#include "restoresettings.h"
#include "resultpane.h"
#include "runbuttonguard.h"
#include "splitbar.h"
#include "twips.h"
#include "version.h"
#include "visiblepath.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <iterator>
#include <utility>

namespace {

// Places a control by its design rectangle in twips.
template <typename Widget> Widget* Place(Widget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                        TwipsToPixels(height));
    return widget;
}

// A label at its design position, as wide and high as its caption needs.
QLabel* AutoSizedLabel(const QString& caption, QWidget* parent, int left, int top)
{
    auto* label = new QLabel(caption, parent);
    label->move(TwipsToPixels(left), TwipsToPixels(top));
    label->adjustSize();
    return label;
}

} // namespace

fMAIN::fMAIN(QWidget* parent) : QMainWindow(parent)
{
    CreateControls();
    m_operation = std::make_unique<LongOperation>(*this, *cmdRUN, *tOut, *SBPanel,
                                                  QList{txtFILE1, txtFILE2, txtOFS1, txtOFS2});
    CreateMenus();
    NameControls();
    ConnectHandlers();
    OrderTabStops();
    // Designed inner size (below the menu bar, status bar included): 9210 x 5760 twips.
    resize(TwipsToPixels(9210), TwipsToPixels(5760) + menuBar()->sizeHint().height());
    Form_Load();
}

void fMAIN::CreateControls()
{
    auto* inner = new QWidget(this);
    setCentralWidget(inner);

    tOut = new ResultPane(inner);
    Place(tOut, 120, 120, 7575, 4095);
    QFont design(QStringLiteral("Courier New"));
    design.setPointSizeF(9.75);
    design.setBold(true);
    tOut->ApplyFont(design);
    tOut->SetCharset(238);
    tOut->setTabChangesFocus(true);
    picMAP = new MapStrip(*tOut, inner);
    picMAP->hide();
    picCONTEXT = new ContextView(inner);
    picCONTEXT->hide();
    picSPLIT = new SplitBar(inner);
    picSPLIT->hide();

    SB = statusBar();
    SB->setFixedHeight(TwipsToPixels(390));
    SBPanel = new QLabel(QStringLiteral("Ready"));
    SBPanel->setTextFormat(Qt::PlainText);
    // A full path must not widen the window: the panel takes the width it is given.
    SBPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    SB->addWidget(SBPanel, 1);

    fraTab = Place(new QFrame(inner), 120, 4320, 8295, 1095);
    fraTab->setFrameShape(QFrame::Box);
    fraTab->setFrameShadow(QFrame::Sunken);
    // The frame's controls are drawn for a narrow 8-point interface font; an Arial-like face at
    // that size (Liberation Sans where Arial is missing) keeps every caption inside its box.
    QFont designUi = fraTab->font();
    designUi.setFamilies(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), designUi.family()});
    designUi.setPointSizeF(8);
    fraTab->setFont(designUi);

    laFILE1 = AutoSizedLabel(QStringLiteral("File 1:"), fraTab, 120, 240);
    txtFILE1 = Place(new QLineEdit(fraTab), 600, 240, 3735, 285);
    cmdFILE1 = Place(new QPushButton(QStringLiteral(".."), fraTab), 4320, 240, 255, 255);
    laFILE2 = AutoSizedLabel(QStringLiteral("File 2:"), fraTab, 120, 600);
    txtFILE2 = Place(new QLineEdit(fraTab), 600, 600, 3735, 285);
    cmdFILE2 = Place(new QPushButton(QStringLiteral(".."), fraTab), 4320, 600, 255, 255);

    lblOfs1 = Place(new QLabel(QStringLiteral("Start offset (hex)"), fraTab), 4560, 240, 615, 615);
    lblOfs1->setWordWrap(true);
    lblOfs1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    txtOFS1 = Place(new QLineEdit(QStringLiteral("0"), fraTab), 5160, 240, 855, 285);
    txtOFS2 = Place(new QLineEdit(QStringLiteral("0"), fraTab), 5160, 600, 855, 285);
    for (QLineEdit* offset : {txtOFS1, txtOFS2}) // too long, typed or pasted: refused whole
        offset->setValidator(new LengthLimit(int(bVarious::kMaxOffsetDigits), offset));

    optNormal = Place(new QRadioButton(QStringLiteral("Normal"), fraTab), 6120, 240, 975, 255);
    optNormal->setChecked(true);
    optLines = Place(new QRadioButton(QStringLiteral("By lines"), fraTab), 6120, 480, 975, 255);
    chkChars = Place(new QCheckBox(QStringLiteral("with chars"), fraTab), 6120, 720, 1095, 255);

    cmdRUN = Place(new QPushButton(QStringLiteral("&Compare"), fraTab), 7200, 200, 975, 375);
    cmdEXIT = Place(new QPushButton(QStringLiteral("E&xit"), fraTab), 7200, 620, 975, 375);
    // Enter on a focused push button presses that button; elsewhere keyPressEvent presses
    // "&Compare".
    for (QPushButton* button : {cmdFILE1, cmdFILE2, cmdRUN, cmdEXIT})
        button->setAutoDefault(true);
    cmdRUN->setDefault(true);
}

void fMAIN::CreateMenus()
{
    m1 = menuBar()->addMenu(QStringLiteral("File"));
    mnuSAVE = m1->addAction(QStringLiteral("Save Result"));
    mnuSAVE->setShortcut(Qt::CTRL | Qt::Key_S);
    mnuSAVEAS = m1->addAction(QStringLiteral("Save Result As"));
    mnuMRU = m1->addSeparator();
    mnuEXIT = m1->addAction(QStringLiteral("Exit"));
    mnuEXIT->setShortcut(Qt::CTRL | Qt::Key_Q);

    // Cut, copy and paste carry no shortcuts here: the pane handles its own clipboard keys.
    m2 = menuBar()->addMenu(QStringLiteral("Edit"));
    mnuCUT = m2->addAction(QStringLiteral("Cu&t"));
    mnuCOPY = m2->addAction(QStringLiteral("&Copy"));
    mnuPASTE = m2->addAction(QStringLiteral("&Paste"));
    mnuLINE = m2->addSeparator();
    mnuFIND = m2->addAction(QStringLiteral("Find"));
    mnuFIND->setShortcut(Qt::CTRL | Qt::Key_F);
    mnuFINDNXT = m2->addAction(QStringLiteral("Find Next"));
    mnuFINDNXT->setShortcut(Qt::Key_F3);
    mnuFINDSHIFT = m2->addAction(QStringLiteral("Find Shift"));
    mnuFINDSHIFT->setShortcut(Qt::CTRL | Qt::Key_K);
    mnuNEXTDIFF = m2->addAction(QStringLiteral("Next Difference"));
    mnuNEXTDIFF->setShortcut(Qt::Key_F6);
    mnuPREVDIFF = m2->addAction(QStringLiteral("Previous Difference"));
    mnuPREVDIFF->setShortcut(Qt::SHIFT | Qt::Key_F6);
    mnuGOTO = m2->addAction(QStringLiteral("Go To Offset"));
    mnuGOTO->setShortcut(Qt::CTRL | Qt::Key_G);
    m2->addSeparator();
    mnuSWAP = m2->addAction(QStringLiteral("Swap Files"));

    mnuSET = menuBar()->addMenu(QStringLiteral("Settings"));
    mnuFONT = mnuSET->addAction(QStringLiteral("Select Font"));
    mnuTOP = mnuSET->addAction(QStringLiteral("Allways on Top"));
    mnuTOP->setCheckable(true); // Qt flips the check mark before mnuTOP_Click runs
    mnuMAP = mnuSET->addAction(QStringLiteral("Difference Map"));
    mnuMAP->setCheckable(true);
    mnuMAP->setChecked(true);
    mnuCONTEXT = mnuSET->addAction(QStringLiteral("Hex Context"));
    mnuCONTEXT->setCheckable(true);
    mnuCONTEXT->setChecked(true);
    // Off by default: without it every report is as it always was.
    mnuREALIGN = mnuSET->addAction(QStringLiteral("Realign"));
    mnuREALIGN->setCheckable(true);

    // A command on the menu bar itself, without a menu.
    mnuABOUT = menuBar()->addAction(QStringLiteral("About"));
}

// Each control, menu and menu item is found by its name.
void fMAIN::NameControls()
{
    const std::pair<QObject*, const char*> named[] = {{tOut, "tOut"},
                                                      {SB, "SB"},
                                                      {SBPanel, "SBPanel"},
                                                      {fraTab, "fraTab"},
                                                      {laFILE1, "laFILE1"},
                                                      {txtFILE1, "txtFILE1"},
                                                      {cmdFILE1, "cmdFILE1"},
                                                      {laFILE2, "laFILE2"},
                                                      {txtFILE2, "txtFILE2"},
                                                      {cmdFILE2, "cmdFILE2"},
                                                      {lblOfs1, "lblOfs1"},
                                                      {txtOFS1, "txtOFS1"},
                                                      {txtOFS2, "txtOFS2"},
                                                      {optNormal, "optNormal"},
                                                      {optLines, "optLines"},
                                                      {chkChars, "chkChars"},
                                                      {cmdRUN, "cmdRUN"},
                                                      {cmdEXIT, "cmdEXIT"},
                                                      {m1, "m1"},
                                                      {mnuSAVE, "mnuSAVE"},
                                                      {mnuSAVEAS, "mnuSAVEAS"},
                                                      {mnuMRU, "mnuMRU"},
                                                      {mnuEXIT, "mnuEXIT"},
                                                      {m2, "m2"},
                                                      {mnuCUT, "mnuCUT"},
                                                      {mnuCOPY, "mnuCOPY"},
                                                      {mnuPASTE, "mnuPASTE"},
                                                      {mnuLINE, "mnuLINE"},
                                                      {mnuFIND, "mnuFIND"},
                                                      {mnuFINDNXT, "mnuFINDNXT"},
                                                      {mnuFINDSHIFT, "mnuFINDSHIFT"},
                                                      {mnuNEXTDIFF, "mnuNEXTDIFF"},
                                                      {mnuPREVDIFF, "mnuPREVDIFF"},
                                                      {mnuGOTO, "mnuGOTO"},
                                                      {mnuSET, "mnuSET"},
                                                      {mnuFONT, "mnuFONT"},
                                                      {mnuTOP, "mnuTOP"},
                                                      {mnuSWAP, "mnuSWAP"},
                                                      {mnuMAP, "mnuMAP"},
                                                      {mnuCONTEXT, "mnuCONTEXT"},
                                                      {mnuREALIGN, "mnuREALIGN"},
                                                      {mnuABOUT, "mnuABOUT"},
                                                      {picMAP, "picMAP"},
                                                      {picCONTEXT, "picCONTEXT"},
                                                      {picSPLIT, "picSPLIT"}};
    for (const auto& [object, name] : named)
        object->setObjectName(QString::fromLatin1(name));
}

// Every handled event, in the order of the routing table. The window's own events come
// first: the constructor runs Form_Load, resizeEvent and changeEvent run Form_Resize, and
// closeEvent runs Form_Unload.
void fMAIN::ConnectHandlers()
{
    connect(cmdRUN, &QPushButton::clicked, this, &fMAIN::cmdRUN_Click);
    connect(cmdFILE1, &QPushButton::clicked, this, &fMAIN::cmdFILE1_Click);
    connect(cmdFILE2, &QPushButton::clicked, this, &fMAIN::cmdFILE2_Click);
    connect(cmdEXIT, &QPushButton::clicked, this, &fMAIN::cmdEXIT_Click);
    connect(mnuSAVE, &QAction::triggered, this, &fMAIN::mnuSAVE_Click);
    connect(mnuSAVEAS, &QAction::triggered, this, &fMAIN::mnuSAVEAS_Click);
    connect(mnuEXIT, &QAction::triggered, this, &fMAIN::mnuEXIT_Click);
    connect(mnuCUT, &QAction::triggered, this, &fMAIN::mnuCUT_Click);
    connect(mnuCOPY, &QAction::triggered, this, &fMAIN::mnuCOPY_Click);
    connect(mnuPASTE, &QAction::triggered, this, &fMAIN::mnuPASTE_Click);
    connect(mnuFIND, &QAction::triggered, this, &fMAIN::mnuFIND_Click);
    connect(mnuFINDNXT, &QAction::triggered, this, &fMAIN::mnuFINDNXT_Click);
    connect(mnuFINDSHIFT, &QAction::triggered, this, &fMAIN::mnuFINDSHIFT_Click);
    connect(mnuNEXTDIFF, &QAction::triggered, this, &fMAIN::mnuNEXTDIFF_Click);
    connect(mnuPREVDIFF, &QAction::triggered, this, &fMAIN::mnuPREVDIFF_Click);
    connect(mnuGOTO, &QAction::triggered, this, &fMAIN::mnuGOTO_Click);
    connect(mnuSWAP, &QAction::triggered, this, &fMAIN::SwapFiles);
    connect(mnuFONT, &QAction::triggered, this, &fMAIN::mnuFONT_Click);
    connect(mnuTOP, &QAction::triggered, this, &fMAIN::mnuTOP_Click);
    connect(mnuMAP, &QAction::triggered, this, &fMAIN::ShowDifferenceMap);
    connect(mnuCONTEXT, &QAction::triggered, this, &fMAIN::ShowContextView);
    connect(picSPLIT, &SplitBar::Dragged, this, &fMAIN::MoveContextSplit);
    connect(picCONTEXT, &ContextView::PositionChosen, this,
            [this](quint64 position) { FollowContextView(position); });
    connect(tOut, &QPlainTextEdit::cursorPositionChanged, this, &fMAIN::tOut_CaretMoved);
    connect(mnuABOUT, &QAction::triggered, this, &fMAIN::mnuABOUT_Click);
    connect(tOut, &QPlainTextEdit::textChanged, this, &fMAIN::tOut_Change);
    connect(tOut, &ResultPane::MouseUp, this, &fMAIN::tOut_MouseUp);

    // Esc presses "E&xit" wherever the focus is, the result pane included, whatever runs: a
    // run stops first, then the close asks about the unsaved report.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, cmdEXIT, &QPushButton::click);
    new RunButtonGuard(*cmdRUN, [this] { return !m_operation->CanStart(); }); // owned by cmdRUN

    // A file dropped from the file manager onto a file field gives its path.
    for (QLineEdit* field : {txtFILE1, txtFILE2})
        new FileDrop(*field); // owned by the field
}

// The pane first, then the cycle of the frame's inputs as designed.
void fMAIN::OrderTabStops()
{
    QWidget* const order[] = {tOut,     optNormal, optLines, cmdEXIT,  cmdRUN,  txtFILE2,
                              cmdFILE2, txtFILE1,  cmdFILE1, chkChars, txtOFS1, txtOFS2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    tOut->setFocus();
}

void fMAIN::Form_Load()
{
    const bVarious::PaneFont restored =
        bVarious::RestoreSettings(*this, *tOut, tOut->Charset(), ResultChanged, MinimumSize());
    tOut->ApplyFont(restored.font);
    tOut->SetCharset(restored.charset);
    mnuMAP->setChecked(bVarious::RestoreDifferenceMap());
    mnuREALIGN->setChecked(bVarious::RestoreRealign());
    const bVarious::ContextSetting context = bVarious::RestoreContextSetting();
    mnuCONTEXT->setChecked(context.shown);
    m_contextShare = context.share;
}

void fMAIN::Form_Unload(int& Cancel)
{
    // An unsaved report is offered for saving first. Cancel keeps the window open, and so does a
    // failed write, so that the report is not lost; Yes with the save dialog cancelled closes.
    if (ResultChanged) {
        const auto answer =
            bVarious::PlainMessageBox(this, QMessageBox::Question, QStringLiteral("Save As"),
                                      QStringLiteral("Save changes to ") +
                                          bVarious::VisiblePath(ResultFile) + QStringLiteral(" ?"),
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel ||
            (answer == QMessageBox::Yes && RunSave(false) == SaveEnd::Failed)) {
            Cancel = 1;
            return;
        }
    }

    // The window's place and the pane font for the next start. A store that cannot be written
    // does not keep the window open, but the user learns of it.
    const bool mapStored = bVarious::StoreDifferenceMap(mnuMAP->isChecked());
    const bool contextStored =
        bVarious::StoreContextSetting({mnuCONTEXT->isChecked(), m_contextShare});
    const bool realignStored = bVarious::StoreRealign(mnuREALIGN->isChecked());
    if (!bVarious::StoreSettings(*this, {tOut->font(), tOut->Charset()}) || !mapStored ||
        !contextStored || !realignStored)
        bVarious::PlainMessageBox(this, QMessageBox::Warning, QStringLiteral(LUMATRA_NAME),
                                  QStringLiteral("The window position and the font could not "
                                                 "be saved for the next start."));
}

void fMAIN::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void fMAIN::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Restoring a minimized window need not change its size, so it brings no resize event.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void fMAIN::closeEvent(QCloseEvent* event)
{
    // A running comparison writes into this window: stop it first, and close once it has
    // unwound (the command that ran it closes again through here). A save, search or copy ends
    // first.
    if (m_operation->PostponeClose()) {
        event->ignore();
        return;
    }
    int Cancel = 0;
    Form_Unload(Cancel);
    if (Cancel != 0)
        event->ignore();
    else
        event->accept();
}

void fMAIN::keyPressEvent(QKeyEvent* event)
{
    // Enter reaches the window when no control took it: fields, options and the check box.
    // It starts a comparison but never stops one, so that a second Enter or a repeating key
    // cannot throw a long run away.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (m_operation->CanStart())
            cmdRUN->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
