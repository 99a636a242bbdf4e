#pragma once

#include "fmainparts.h"
#include "isolatedstore.h"

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
    TypeInto(Parts(window).txtFILE1, request.file1);
    TypeInto(Parts(window).txtFILE2, request.file2);
    TypeInto(Parts(window).txtOFS1, request.offset1);
    TypeInto(Parts(window).txtOFS2, request.offset2);
    QTest::mouseClick(request.byLines ? Parts(window).optLines : Parts(window).optNormal,
                      Qt::LeftButton);
    Parts(window).chkChars->setChecked(request.withChars);
    QTest::mouseClick(Parts(window).cmdRUN, Qt::LeftButton);
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
