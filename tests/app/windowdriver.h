#pragma once

#include "isolatedstore.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

// A compare request as the user types it into the window's frame.
struct Request
{
    QString file1, file2;
    QString offset1 = QStringLiteral("0"), offset2 = QStringLiteral("0");
    bool byLines = false;
    bool withChars = false;
};

inline void TypeInto(QLineEdit* field, const QString& text)
{
    field->clear();
    QTest::keyClicks(field, text);
}

// Fills the frame as a user would and clicks "&Compare".
inline void Compare(fMAIN& window, const Request& request)
{
    TypeInto(Control<QLineEdit>(window, "txtFILE1"), request.file1);
    TypeInto(Control<QLineEdit>(window, "txtFILE2"), request.file2);
    TypeInto(Control<QLineEdit>(window, "txtOFS1"), request.offset1);
    TypeInto(Control<QLineEdit>(window, "txtOFS2"), request.offset2);
    QTest::mouseClick(request.byLines ? Control<QRadioButton>(window, "optLines")
                                      : Control<QRadioButton>(window, "optNormal"),
                      Qt::LeftButton);
    Control<QCheckBox>(window, "chkChars")->setChecked(request.withChars);
    QTest::mouseClick(Control<QPushButton>(window, "cmdRUN"), Qt::LeftButton);
}

// A new window as designed (no stored settings), shown and active; null when it never became
// active. Closing it does not end the test program.
inline std::unique_ptr<fMAIN> OpenWindow()
{
    QApplication::setQuitOnLastWindowClosed(false);
    QFile::remove(StoreFile());
    auto window = std::make_unique<fMAIN>();
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        return nullptr;
    return window;
}
