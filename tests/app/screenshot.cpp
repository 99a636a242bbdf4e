// Opens the real window on whatever display there is, fills it with two small generated files,
// runs one "By lines" comparison with chars and saves a picture of the window:
//     lumatra_screenshot OUTPUT.png [find-shift]
// With find-shift, file 2 has 16 bytes more at 0x40 instead, and "Find Shift" follows the
// comparison.
#include "fmain.h"
#include "resultpane.h"
#include "testfiles.h"
#include "throwawaysettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

int main(int argc, char* argv[])
{
    // The picture shows the window as designed, not as the user's own settings left it.
    ThrowAwaySettings configHome;
    if (!configHome.isValid())
        return 2;
    QApplication app(argc, argv);
    const bool findShift = argc == 3 && qstrcmp(argv[2], "find-shift") == 0;
    if (argc != 2 && !findShift) {
        std::fputs("usage: lumatra_screenshot OUTPUT.png [find-shift]\n", stderr);
        return 2;
    }
    QTemporaryDir dir;
    QByteArray one;
    for (int i = 0; i < 256; ++i)
        one.append(char(i));
    QByteArray two = one;
    for (int i = 0x30; i < 0x52; ++i)
        two[i] = char(two[i] ^ 0x20); // letters change case, digits and signs change too
    two[0x90] = 'x';
    if (findShift)
        two = QByteArray(one).insert(0x40, QByteArray(16, '*'));
    const QString path1 = dir.filePath(QStringLiteral("one.bin"));
    const QString path2 = dir.filePath(QStringLiteral("two.bin"));
    if (!dir.isValid() || !WriteFile(path1, one) || !WriteFile(path2, two)) {
        std::fputs("lumatra_screenshot: cannot write the sample files\n", stderr);
        return 2;
    }

    fMAIN window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    QTest::keyClicks(window.txtFILE1, path1);
    QTest::keyClicks(window.txtFILE2, path2);
    QTest::mouseClick(window.optLines, Qt::LeftButton);
    QTest::mouseClick(window.chkChars, Qt::LeftButton);
    QTest::mouseClick(window.cmdRUN, Qt::LeftButton);
    QTest::qWait(300);
    if (findShift) {
        window.mnuFINDSHIFT->trigger();
        QTest::qWait(300);
    }

    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "lumatra_screenshot: cannot save %s\n", argv[1]);
        return 2;
    }
    return 0;
}
