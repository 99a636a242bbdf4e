// Opens the real window on whatever display there is, fills it with two generated files whose
// differences form a pattern (a patched header, bands of scattered changes, a rewritten block),
// runs one "Normal" comparison with chars in a window wide enough for the context view, clicks
// the difference map at the bands (the view follows) and saves a picture of the window:
//     lumatra_screenshot OUTPUT.png [find-shift | realign]
// With find-shift, file 2 is a small file 1 with 16 bytes more at 0x40 instead, the comparison
// is "By lines" with chars, and "Find Shift" follows it. With realign, file 2 also has
// stretches inserted and removed, and "Realign" is checked before the comparison.
#include "mapstrip.h"
#include "resultpane.h"
#include "testfiles.h"
#include "throwawaysettings.h"
#include "windowcontrols.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>
#include <cstdio>

namespace {

// A text of 192 KiB, and the same with letters changed in case in a pattern the map shows.
std::pair<QByteArray, QByteArray> Banded()
{
    const QByteArray text = QByteArrayLiteral("Lumatra compares two files byte by byte. ");
    QByteArray one;
    while (one.size() < 192 * 1024)
        one.append(text);
    QByteArray two = one;
    const auto change = [&two](qsizetype at) { two[at] = char(two[at] ^ 0x20); };
    for (qsizetype i = 0x10; i < 0x30; ++i)
        change(i);
    // Bands of up to six changes a KiB, rising and falling, with equal stretches between.
    for (int k = 8; k < 160; ++k) {
        const int count = qMax(0, qRound(6 * std::sin(2 * M_PI * k / 38)));
        for (int c = 0; c < count; ++c)
            change(k * 1024 + (c * 397 + k * 61) % 1024);
    }
    for (qsizetype i = 0x2C000; i < 0x2C100; ++i)
        change(i);
    return {one, two};
}

} // namespace

int main(int argc, char* argv[])
{
    // The picture shows the window as designed, not as the user's own settings left it.
    ThrowAwaySettings configHome;
    if (!configHome.IsValid())
        return 2;
    QApplication app(argc, argv);
    const bool findShift = argc == 3 && qstrcmp(argv[2], "find-shift") == 0;
    const bool realign = argc == 3 && qstrcmp(argv[2], "realign") == 0;
    if (argc != 2 && !findShift && !realign) {
        std::fputs("usage: lumatra_screenshot OUTPUT.png [find-shift | realign]\n", stderr);
        return 2;
    }
    QTemporaryDir dir;
    auto [one, two] = Banded();
    if (findShift) {
        one.clear();
        for (int i = 0; i < 256; ++i)
            one.append(char(i));
        two = QByteArray(one).insert(0x40, QByteArray(16, '*'));
    }
    if (realign) {
        two.insert(0x24000, QByteArray(300, '#'));
        two.remove(0x18000, 100);
        two.insert(0x6000, QByteArray("inserted here: "));
    }
    const QString path1 = dir.filePath(QStringLiteral("one.bin"));
    const QString path2 = dir.filePath(QStringLiteral("two.bin"));
    if (!dir.isValid() || !WriteFile(path1, one) || !WriteFile(path2, two)) {
        std::fputs("lumatra_screenshot: cannot write the sample files\n", stderr);
        return 2;
    }

    fMAIN window;
    // Room for both sides of the context view under the report.
    if (!findShift)
        window.resize(1180, 760);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    QTest::keyClicks(Control<QLineEdit>(window, "txtFILE1"), path1);
    QTest::keyClicks(Control<QLineEdit>(window, "txtFILE2"), path2);
    if (findShift)
        QTest::mouseClick(Control<QRadioButton>(window, "optLines"), Qt::LeftButton);
    QTest::mouseClick(Control<QCheckBox>(window, "chkChars"), Qt::LeftButton);
    if (realign)
        Control<QAction>(window, "mnuREALIGN")->trigger();
    QTest::mouseClick(Control<QPushButton>(window, "cmdRUN"), Qt::LeftButton);
    QTest::qWait(300);
    if (findShift) {
        Control<QAction>(window, "mnuFINDSHIFT")->trigger();
        QTest::qWait(300);
    } else if (!realign) {
        auto* map = window.findChild<MapStrip*>();
        if (map == nullptr || !map->isVisible()) {
            std::fputs("lumatra_screenshot: no difference map in the window\n", stderr);
            return 2;
        }
        QTest::mouseClick(map, Qt::LeftButton, {},
                          QPoint(MapStrip::kWidth / 2, map->height() * 2 / 5));
        QTest::qWait(100);
    }

    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "lumatra_screenshot: cannot save %s\n", argv[1]);
        return 2;
    }
    return 0;
}
