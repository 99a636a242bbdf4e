// Opens the real window on whatever display there is, fills it with two generated files whose
// differences form a pattern (a patched header, bands of scattered changes, a rewritten block),
// runs one "Normal" comparison with chars in a window wide enough for the context view, clicks
// the difference map at the bands (the view follows) and saves a picture of the window:
//     lumatra_screenshot OUTPUT.png [find-shift | realign | long-run]
// With find-shift, file 2 is a small file 1 with 16 bytes more at 0x40 instead, the comparison
// is "By lines" with chars, and "Find Shift" follows it. With realign, file 2 also has
// stretches inserted and removed, "Realign" is checked before the comparison, and the caret
// is put on the first insertion's line, which the context view shows lined up.
// With long-run, a pair of 1 GiB in TMPDIR whose every 256th byte differs (4 M report lines) is
// compared; the window is resized during the run and pictured from the screen as it stands
// (OUTPUT-during.png), then after the run (OUTPUT-after.png), after a click on the map at 43 %
// (OUTPUT-map.png) and with the thumb moved to the middle and the map turned off and on
// (OUTPUT.png). What each step found is printed: the clicks' times, where the view and the
// scroll bar went, the view's first line.
#include "designedapplication.h"
#include "mapstrip.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "testfiles.h"
#include "windowcontrols.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QtMath>
#include <algorithm>
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

// The window as the screen shows it, saved beside output with suffix before its ".png".
bool SaveScreen(const QWidget& window, const QString& output, const QString& suffix)
{
    QString path = output;
    path.insert(path.endsWith(u".png") ? path.size() - 4 : path.size(), suffix);
    const bool saved = window.screen()->grabWindow(window.winId()).save(path);
    std::printf("%s: %s\n", qPrintable(path), saved ? "saved" : "NOT SAVED");
    return saved;
}

// The pane's first line in view, and where its scroll bar stands.
void PrintView(const char* when, const ResultPane& pane)
{
    QTextCursor line = pane.cursorForPosition(QPoint(1, 1));
    line.movePosition(QTextCursor::StartOfLine);
    line.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    const QScrollBar& bar = *pane.verticalScrollBar();
    std::printf("%s: first line \"%s\", scroll bar %d of %d (%.1f %%)\n", when,
                qPrintable(line.selectedText()), bar.value(), bar.maximum(),
                100.0 * bar.value() / std::max(1, bar.maximum()));
}

int LongRun(fMAIN& window, const QString& output)
{
    QTemporaryDir dir;
    const QString path1 = dir.filePath(QStringLiteral("one.bin"));
    const QString path2 = dir.filePath(QStringLiteral("two.bin"));
    constexpr qint64 kSize = qint64(1) << 30;
    QFile one(path1), two(path2);
    bool written = dir.isValid() && one.open(QIODevice::WriteOnly) && one.resize(kSize) &&
                   two.open(QIODevice::WriteOnly);
    QByteArray chunk(1 << 20, '\0');
    for (qsizetype i = 0; i < chunk.size(); i += 256)
        chunk[i] = 1;
    for (qint64 at = 0; written && at < kSize; at += chunk.size())
        written = two.write(chunk) == chunk.size();
    if (!written || !two.flush()) {
        std::fputs("lumatra_screenshot: cannot write the 1 GiB pair\n", stderr);
        return 2;
    }
    auto* pane = window.findChild<ResultPane*>();
    auto* map = window.findChild<MapStrip*>();
    QTest::keyClicks(Control<QLineEdit>(window, "txtFILE1"), path1);
    QTest::keyClicks(Control<QLineEdit>(window, "txtFILE2"), path2);
    ModalAnswerer answerer;
    answerer.SetStandingButton(QMessageBox::Yes);
    // Runs while the comparison lets the window handle its events.
    bool savedDuring = false;
    QTimer::singleShot(300, &window, [&] {
        // Grown within the screen: what the pane newly covers is what it must paint.
        const QRect screen = window.screen()->geometry();
        window.resize(std::min(window.width() + 200, screen.right() - window.x()),
                      std::min(window.height() + 150, screen.bottom() - window.y() - 30));
        std::printf("resized during the run to %dx%d\n", window.width(), window.height());
        QTimer::singleShot(300, &window, [&] {
            std::printf("during the run, pane frozen: %s\n", pane->IsFrozen() ? "yes" : "NO");
            savedDuring = SaveScreen(window, output, QStringLiteral("-during"));
        });
    });
    QElapsedTimer run;
    run.start();
    QTest::mouseClick(Control<QPushButton>(window, "cmdRUN"), Qt::LeftButton);
    std::printf("run: %lld ms, %d paragraphs, %d characters\n", run.elapsed(),
                pane->document()->blockCount(), pane->document()->characterCount());
    QTest::qWait(300);
    if (!savedDuring || !SaveScreen(window, output, QStringLiteral("-after")))
        return 2;
    PrintView("after the run", *pane);

    // The first click gathers the report's labels; later ones only scroll.
    const int at43 = map->height() * 43 / 100;
    QElapsedTimer click;
    click.start();
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(MapStrip::kWidth / 2, at43));
    std::printf("first map click at 43 %%: %lld ms (%s)\n", click.elapsed(),
                qPrintable(map->PartText(at43)));
    QTest::qWait(300);
    PrintView("after the map click", *pane);
    click.restart();
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(MapStrip::kWidth / 2, map->height() / 5));
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(MapStrip::kWidth / 2, at43));
    std::printf("two more map clicks: %lld ms\n", click.elapsed());
    QTest::qWait(300);
    if (!SaveScreen(window, output, QStringLiteral("-map")))
        return 2;

    // The thumb in the middle shows the middle of the report; the caret stays where the map put
    // it, out of view, so that the view's first line is all the toggle keeps.
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum() / 2);
    QTest::qWait(100);
    PrintView("thumb in the middle", *pane);
    auto* toggle = Control<QAction>(window, "mnuMAP");
    for (const char* when : {"map off", "map on again"}) {
        QElapsedTimer turn;
        turn.start();
        toggle->trigger();
        QTest::qWait(0);
        std::printf("%s in %lld ms\n", when, turn.elapsed());
        QTest::qWait(300);
        PrintView(when, *pane);
    }
    return SaveScreen(window, output, QString()) ? 0 : 2;
}

} // namespace

int main(int argc, char* argv[])
{
    DesignedApplication app(argc, argv);
    if (!app.IsValid())
        return 2;
    const bool findShift = argc == 3 && qstrcmp(argv[2], "find-shift") == 0;
    const bool realign = argc == 3 && qstrcmp(argv[2], "realign") == 0;
    const bool longRun = argc == 3 && qstrcmp(argv[2], "long-run") == 0;
    if (argc != 2 && !findShift && !realign && !longRun) {
        std::fputs("usage: lumatra_screenshot OUTPUT.png [find-shift | realign | long-run]\n",
                   stderr);
        return 2;
    }
    if (longRun) {
        fMAIN window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 2;
        return LongRun(window, QString::fromLocal8Bit(argv[1]));
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
    } else if (realign) {
        // The caret on the line of the insertion at 0x6000: the view shows its rows, lined up.
        auto* pane = window.findChild<ResultPane*>();
        const QTextCursor found = pane->document()->find(QStringLiteral("15 bytes only in file 2"));
        if (found.isNull()) {
            std::fputs("lumatra_screenshot: no insertion in the report\n", stderr);
            return 2;
        }
        QTextCursor caret(pane->document());
        caret.setPosition(found.selectionStart());
        caret.movePosition(QTextCursor::StartOfLine);
        pane->setTextCursor(caret);
        QTest::qWait(100);
    } else {
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
