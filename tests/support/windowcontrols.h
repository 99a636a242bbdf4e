#pragma once

#include "fmain.h"
#include "resultpane.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QObject>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QString>
#include <QtGlobal>

// The window's control, menu or menu item of that name and type, by the object name the window
// gives it. The program stops when there is none, so that a renamed control is told at once.
template <typename T> T* Control(const QObject& window, const char* name)
{
    T* const found = window.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("The window has no %s.", name);
    return found;
}

// The result pane and the status panel, which most checks read.
inline ResultPane* Pane(const QObject& window)
{
    return Control<ResultPane>(window, "tOut");
}

inline QLabel* StatusPanel(const QObject& window)
{
    return Control<QLabel>(window, "SBPanel");
}
