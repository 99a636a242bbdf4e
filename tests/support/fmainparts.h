#pragma once

#include "fmain.h"
#include "resultpane.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

// The window's controls, menus and document state by their design names, for the tests and
// the bench that drive the window and look at what it shows. The window's one test door.
struct fMAINParts
{
    explicit fMAINParts(fMAIN& window)
        : tOut(window.tOut), SB(window.SB), SBPanel(window.SBPanel), fraTab(window.fraTab),
          laFILE1(window.laFILE1), txtFILE1(window.txtFILE1), cmdFILE1(window.cmdFILE1),
          laFILE2(window.laFILE2), txtFILE2(window.txtFILE2), cmdFILE2(window.cmdFILE2),
          lblOfs1(window.lblOfs1), txtOFS1(window.txtOFS1), txtOFS2(window.txtOFS2),
          optNormal(window.optNormal), optLines(window.optLines), chkChars(window.chkChars),
          cmdRUN(window.cmdRUN), cmdEXIT(window.cmdEXIT), m1(window.m1), mnuSAVE(window.mnuSAVE),
          mnuSAVEAS(window.mnuSAVEAS), mnuMRU(window.mnuMRU), mnuEXIT(window.mnuEXIT),
          m2(window.m2), mnuCUT(window.mnuCUT), mnuCOPY(window.mnuCOPY), mnuPASTE(window.mnuPASTE),
          mnuLINE(window.mnuLINE), mnuFIND(window.mnuFIND), mnuFINDNXT(window.mnuFINDNXT),
          mnuFINDSHIFT(window.mnuFINDSHIFT), mnuSET(window.mnuSET), mnuFONT(window.mnuFONT),
          mnuTOP(window.mnuTOP), mnuABOUT(window.mnuABOUT), ResultFile(window.ResultFile),
          ResultChanged(window.ResultChanged), FindText(window.FindText)
    {}

    ResultPane*& tOut;
    QStatusBar*& SB;
    QLabel*& SBPanel;
    QFrame*& fraTab;
    QLabel*& laFILE1;
    QLineEdit*& txtFILE1;
    QPushButton*& cmdFILE1;
    QLabel*& laFILE2;
    QLineEdit*& txtFILE2;
    QPushButton*& cmdFILE2;
    QLabel*& lblOfs1;
    QLineEdit*& txtOFS1;
    QLineEdit*& txtOFS2;
    QRadioButton*& optNormal;
    QRadioButton*& optLines;
    QCheckBox*& chkChars;
    QPushButton*& cmdRUN;
    QPushButton*& cmdEXIT;
    QMenu*& m1;
    QAction*& mnuSAVE;
    QAction*& mnuSAVEAS;
    QAction*& mnuMRU;
    QAction*& mnuEXIT;
    QMenu*& m2;
    QAction*& mnuCUT;
    QAction*& mnuCOPY;
    QAction*& mnuPASTE;
    QAction*& mnuLINE;
    QAction*& mnuFIND;
    QAction*& mnuFINDNXT;
    QAction*& mnuFINDSHIFT;
    QMenu*& mnuSET;
    QAction*& mnuFONT;
    QAction*& mnuTOP;
    QAction*& mnuABOUT;
    QString& ResultFile;
    bool& ResultChanged;
    QString& FindText;
};

// Parts(window).txtFILE1: a part of the window.
inline fMAINParts Parts(fMAIN& window)
{
    return fMAINParts(window);
}
