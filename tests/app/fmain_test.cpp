#include "fakedialogs.h"
#include "isolatedstore.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "testfiles.h"
#include "windowcontrols.h"
#include "windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Pixels of the designed twips (15 twips a pixel).
constexpr int kMinOuterWidth = 570;   // 8550
constexpr int kMinInnerWidth = 554;   // the first whole pixel at or above 8300
constexpr int kSnapOuterHeight = 333; // 5000, rounded
constexpr int kMinInnerHeight = 334;  // the first whole pixel at or above 5000

int InnerHeight(fMAIN& window)
{
    return window.centralWidget()->height() + Control<QStatusBar>(window, "SB")->height();
}

// The file 1 position in the note that ends a report stopped early; -1 when it has none.
qint64 StoppedAt(fMAIN& window)
{
    static const QRegularExpression note(
        uR"(\nComparison stopped at 0x([0-9A-F]+): \d+ bytes changed, \d+ locations before it\.\n$)"_qs);
    const QRegularExpressionMatch match = note.match(Pane(window)->toPlainText());
    return match.hasMatch() ? match.captured(1).toLongLong(nullptr, 16) : -1;
}

} // namespace

class FMainTest : public WindowTest
{
    Q_OBJECT

  private Q_SLOTS:
    void opensAsDesigned();
    void menusAsDesigned();
    void checksStopInOrderAndChangeNothing_data();
    void checksStopInOrderAndChangeNothing();
    void writesTheWorkedExample_data();
    void writesTheWorkedExample();
    void readsOffsetTexts();
    void asksOnceAfter1000Changes_data();
    void asksOnceAfter1000Changes();
    void reportsAFileThatFailsDuringTheRun();
    void compareDuringARunStopsIt_data();
    void compareDuringARunStopsIt();
    void closingDuringARunStopsItAndCloses();
    void reportPastThePaneBudgetEndsInItsOverflowError();
    void keepsMinimumSizes();
    void minimizedWindowIsNotLaidOut();
    void tabOrderFollowsTheDesign();
    void enterAndEscapeReachTheButtons();
    void offsetFieldsTakeEightCharacters();
};

void FMainTest::opensAsDesigned()
{
    fMAIN& w = *m_window;
    QCOMPARE(w.windowTitle(), QStringLiteral("Lumatra v1.0"));
    QCOMPARE(StatusPanel(w)->text(), QStringLiteral("Ready"));
    QVERIFY(Control<QRadioButton>(w, "optNormal")->isChecked());
    QVERIFY(!Control<QCheckBox>(w, "chkChars")->isChecked());
    QCOMPARE(Control<QLineEdit>(w, "txtOFS1")->text(), QStringLiteral("0"));
    QCOMPARE(Control<QLineEdit>(w, "txtOFS2")->text(), QStringLiteral("0"));
    QVERIFY(Control<QLineEdit>(w, "txtFILE1")->text().isEmpty() &&
            Control<QLineEdit>(w, "txtFILE2")->text().isEmpty());
    QVERIFY(Pane(w)->toPlainText().isEmpty());
    QVERIFY(!w.ResultChanged);
    QCOMPARE(Pane(w)->lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(QFontInfo(Pane(w)->font()).fixedPitch());
    QVERIFY(!Pane(w)->font().bold()); // bold only when the store says so

    // Inner area 9210 x 5760 twips: the pane at (10, 10) with 9180 x 4260, the frame at
    // left 50 right under the pane, 8295 x 1095, ending where the status bar begins.
    QCOMPARE(w.centralWidget()->width(), 614);
    QCOMPARE(InnerHeight(w), 384);
    QCOMPARE(Pane(w)->geometry(), QRect(1, 1, 612, 284));
    QCOMPARE(Control<QFrame>(w, "fraTab")->geometry(), QRect(3, 285, 553, 73));
    const int frameBottom = Control<QFrame>(w, "fraTab")
                                ->mapTo(&w, QPoint(0, Control<QFrame>(w, "fraTab")->height()))
                                .y();
    QCOMPARE(frameBottom, Control<QStatusBar>(w, "SB")->geometry().top());
}

void FMainTest::menusAsDesigned()
{
    fMAIN& w = *m_window;
    const auto captions = [](const QMenu* menu) {
        QStringList result;
        for (const QAction* action : menu->actions())
            result << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return result;
    };
    QCOMPARE(captions(Control<QMenu>(w, "m1")),
             (QStringList{u"Save Result"_qs, u"Save Result As"_qs, u"-"_qs, u"Exit"_qs}));
    QCOMPARE(
        captions(Control<QMenu>(w, "m2")),
        (QStringList{u"Cu&t"_qs, u"&Copy"_qs, u"&Paste"_qs, u"-"_qs, u"Find"_qs, u"Find Next"_qs,
                     u"Find Shift"_qs, u"Next Difference"_qs, u"Previous Difference"_qs,
                     u"Go To Offset"_qs, u"-"_qs, u"Swap Files"_qs}));
    QCOMPARE(captions(Control<QMenu>(w, "mnuSET")),
             (QStringList{u"Select Font"_qs, u"Allways on Top"_qs, u"Difference Map"_qs,
                          u"Hex Context"_qs, u"Realign"_qs}));
    QCOMPARE(Control<QAction>(w, "mnuSAVE")->shortcut(), QKeySequence(u"Ctrl+S"_qs));
    QCOMPARE(Control<QAction>(w, "mnuEXIT")->shortcut(), QKeySequence(u"Ctrl+Q"_qs));
    QCOMPARE(Control<QAction>(w, "mnuFIND")->shortcut(), QKeySequence(u"Ctrl+F"_qs));
    QCOMPARE(Control<QAction>(w, "mnuFINDNXT")->shortcut(), QKeySequence(u"F3"_qs));
    QCOMPARE(Control<QAction>(w, "mnuFINDSHIFT")->shortcut(), QKeySequence(u"Ctrl+K"_qs));
    QVERIFY(Control<QAction>(w, "mnuCOPY")->shortcut().isEmpty());
    QVERIFY(Control<QAction>(w, "mnuTOP")->isCheckable() &&
            !Control<QAction>(w, "mnuTOP")->isChecked());
    QCOMPARE(Control<QAction>(w, "mnuNEXTDIFF")->shortcut(), QKeySequence(u"F6"_qs));
    QCOMPARE(Control<QAction>(w, "mnuPREVDIFF")->shortcut(), QKeySequence(u"Shift+F6"_qs));
    QCOMPARE(Control<QAction>(w, "mnuGOTO")->shortcut(), QKeySequence(u"Ctrl+G"_qs));

    QStringList bar;
    for (const QAction* action : w.menuBar()->actions())
        bar << action->text();
    QCOMPARE(bar, (QStringList{u"File"_qs, u"Edit"_qs, u"Settings"_qs, u"About"_qs}));
    QCOMPARE(Control<QAction>(w, "mnuABOUT")->menu(), nullptr);
}

void FMainTest::checksStopInOrderAndChangeNothing_data()
{
    QTest::addColumn<QString>("file1");
    QTest::addColumn<QString>("file2");
    QTest::addColumn<QString>("offset1");
    QTest::addColumn<QString>("offset2");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");

    const QString a = u"a.bin"_qs, b = u"b.bin"_qs, none = u"none.bin"_qs, dir = u"sub"_qs;
    const QString error = u"Error"_qs, app = u"Lumatra"_qs;
    const QString file1 = u"File 1 doesn't exist!"_qs, file2 = u"File 2 doesn't exist!"_qs;
    const QString ofs1 = u"Offset 1 isn't HEX number !"_qs;
    const QString ofs2 = u"Offset 2 isn't HEX number !"_qs;
    QTest::newRow("file 1 missing, offsets bad too")
        << none << b << u"x"_qs << u"y"_qs << error << file1;
    QTest::newRow("file 1 empty path") << QString() << b << u"0"_qs << u"0"_qs << error << file1;
    QTest::newRow("file 1 a folder") << dir << b << u"0"_qs << u"0"_qs << error << file1;
    QTest::newRow("file 2 missing, offsets bad")
        << a << none << u"x"_qs << u"y"_qs << error << file2;
    QTest::newRow("file 2 a folder") << a << dir << u"0"_qs << u"0"_qs << error << file2;
    QTest::newRow("offset 1 with prefix") << a << b << u"0x1A"_qs << u"y"_qs << app << ofs1;
    QTest::newRow("offset 1 with blank") << a << b << u" 1"_qs << u"0"_qs << app << ofs1;
    QTest::newRow("offset 2 not hex") << a << b << u"1A"_qs << u"1G"_qs << app << ofs2;
    QTest::newRow("offset 2 with blank") << a << b << u""_qs << u"1 "_qs << app << ofs2;
}

void FMainTest::checksStopInOrderAndChangeNothing()
{
    QFETCH(QString, file1);
    QFETCH(QString, file2);
    QFETCH(QString, offset1);
    QFETCH(QString, offset2);
    QFETCH(QString, title);
    QFETCH(QString, message);
    MakeFile(*m_dir, u"a.bin"_qs, "ABCDEFGH");
    MakeFile(*m_dir, u"b.bin"_qs, "AbcDEfGH");
    QVERIFY(QDir(m_dir->path()).mkdir(u"sub"_qs));
    const auto at = [this](const QString& name) {
        return name.isEmpty() ? name : m_dir->filePath(name);
    };

    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"an earlier report\n"_qs);
    w.ResultChanged = true;
    const QString status = StatusPanel(w)->text();

    ModalAnswerer answerer({kOk});
    Compare(w, {at(file1), at(file2), offset1, offset2});
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].title, title);
    QCOMPARE(answerer.SeenBoxes()[0].text, message);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.SeenBoxes()[0].buttons, QMessageBox::StandardButtons(kOk));
    QCOMPARE(Pane(w)->toPlainText(), u"an earlier report\n"_qs);
    QVERIFY(w.ResultChanged);
    QCOMPARE(StatusPanel(w)->text(), status);
}

void FMainTest::writesTheWorkedExample_data()
{
    QTest::addColumn<bool>("byLines");
    QTest::addColumn<QString>("body");
    QTest::newRow("Normal") << false
                            << u"00000001: 42 62  B b\n"
                               "00000002: 43 63  C c\n"
                               "00000005: 46 66  F f\n"_qs;
    QTest::newRow("By lines") << true
                              << u"00000001: 42 43\n"
                                 "           B  C\n"
                                 "          62 63\n"
                                 "           b  c\n"
                                 "00000005: 46\n"
                                 "           F\n"
                                 "          66\n"
                                 "           f\n"_qs;
}

void FMainTest::writesTheWorkedExample()
{
    QFETCH(bool, byLines);
    QFETCH(QString, body);
    const QString a = MakeFile(*m_dir, u"a.bin"_qs, "ABCDEFGH");
    const QString b = MakeFile(*m_dir, u"b.bin"_qs, "AbcDEfGH");
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"an earlier report\n"_qs);

    Compare(w, {a, b, u"0"_qs, u"0"_qs, byLines, true});

    const QString expected = u"File 1: "_qs + a + u" (8 bytes, Start offset 0x0)\n"_qs +
                             u"File 2: "_qs + b +
                             u" (8 bytes, Start offset 0x0, Shift 0x0)\n\n"_qs + body +
                             u"\n3 bytes changed, 2 locations\n"_qs;
    QCOMPARE(Pane(w)->toPlainText(), expected);
    QCOMPARE(StatusPanel(w)->text(), u"Done!"_qs);
    QVERIFY(w.ResultChanged);
    QVERIFY(Pane(w)->isEnabled());
    QVERIFY(Pane(w)->updatesEnabled());
    QTRY_VERIFY(Pane(w)->hasFocus());
}

void FMainTest::readsOffsetTexts()
{
    const QString a = MakeFile(*m_dir, u"a.bin"_qs, QByteArray(64, 'a'));
    const QString b = MakeFile(*m_dir, u"b.bin"_qs, QByteArray(64, 'a'));
    fMAIN& w = *m_window;
    Compare(w, {a, b, QString(), u"1a"_qs});
    QVERIFY(Pane(w)->toPlainText().contains(u"(64 bytes, Start offset 0x0)\n"_qs));
    QVERIFY(Pane(w)->toPlainText().contains(u"Start offset 0x1A, Shift 0x1A)"_qs));
    Compare(w, {a, b, u"1A"_qs, u"FFFFFFFF"_qs});
    QVERIFY(Pane(w)->toPlainText().contains(u"(64 bytes, Start offset 0x1A)\n"_qs));
    QVERIFY(Pane(w)->toPlainText().contains(u"Start offset 0xFFFFFFFF,"_qs));
}

void FMainTest::asksOnceAfter1000Changes_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("summary");
    QTest::newRow("No stops at 1000") << kNo << u"\n1000 bytes changed, 1 locations\n"_qs;
    QTest::newRow("Yes goes on") << kYes << u"\n1500 bytes changed, 1 locations\n"_qs;
}

void FMainTest::asksOnceAfter1000Changes()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, summary);
    const QString a = MakeFile(*m_dir, u"a.bin"_qs, QByteArray(1500, '\x00'));
    const QString b = MakeFile(*m_dir, u"b.bin"_qs, QByteArray(1500, '\xFF'));
    fMAIN& w = *m_window;

    ModalAnswerer answerer({answer});
    Compare(w, {a, b});
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Lumatra"_qs);
    QCOMPARE(answerer.SeenBoxes()[0].text, u"Detected more than 1000 changes, continue?"_qs);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Question);
    QCOMPARE(answerer.SeenBoxes()[0].buttons, QMessageBox::StandardButtons(kYes | kNo));
    QCOMPARE(answerer.SeenBoxes()[0].defaultButton, kYes);
    QVERIFY(Pane(w)->toPlainText().endsWith(summary));
    QCOMPARE(StatusPanel(w)->text(), u"Done!"_qs);
}

void FMainTest::reportsAFileThatFailsDuringTheRun()
{
    // A path that looks like markup (a folder "<b>x<" holding "b>.bin") stays as it is in the
    // message.
    QVERIFY(QDir(m_dir->path()).mkdir(u"<b>x<"_qs));
    const QString a = MakeFile(*m_dir, u"a.bin"_qs, QByteArray(4096, 'a'));
    const QString b = MakeFile(*m_dir, u"<b>x</b>.bin"_qs, QByteArray(4096, 'b'));
    fMAIN& w = *m_window;
    // Runs at the first status update, once both files have passed their checks.
    QTimer::singleShot(0, &w, [&b] { QFile::remove(b); });

    ModalAnswerer answerer({kOk});
    Compare(w, {a, b});
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Critical);
    QVERIFY2(answerer.SeenBoxes()[0].text.contains(b), qPrintable(answerer.SeenBoxes()[0].text));
    QVERIFY(answerer.SeenBoxes()[0].plainText);
    QVERIFY(Pane(w)->isEnabled());
    QVERIFY(Pane(w)->updatesEnabled());
    QVERIFY(w.ResultChanged);
    QVERIFY(!Pane(w)->toPlainText().contains(u" locations\n"_qs));
    // Nothing was compared before file 2 failed to open.
    QCOMPARE(StoppedAt(w), 0);
    QCOMPARE(StatusPanel(w)->text(),
             u"Comparison stopped at 0x0: 0 bytes changed, 0 locations before it."_qs);
}

void FMainTest::compareDuringARunStopsIt_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::addColumn<bool>("clickedTwice"); // "&Stop" once more as the run has unwound
    QTest::newRow("Stop, after the question") << false << false;
    QTest::newRow("Esc, before the first byte, close cancelled") << true << false;
    QTest::newRow("Stop double-clicked, after the question") << false << true;
}

void FMainTest::compareDuringARunStopsIt()
{
    QFETCH(bool, byEscape);
    QFETCH(bool, clickedTwice);
    // File 2 differs at every fourth byte; file 1 is compared from 0x10.
    QByteArray bytes2(8192, 'a');
    for (qsizetype i = 0; i < bytes2.size(); i += 4)
        bytes2[i] = 'b';
    const QString a = MakeFile(*m_dir, u"a.bin"_qs, QByteArray(8192 + 0x10, 'a'));
    const QString b = MakeFile(*m_dir, u"b.bin"_qs, bytes2);
    fMAIN& w = *m_window;
    QString captionDuringRun;
    if (byEscape) {
        // Esc is Exit's: the run stops, then the close asks about the report so far.
        QTimer::singleShot(0, &w, [&] {
            captionDuringRun = Control<QPushButton>(w, "cmdRUN")->text();
            QTest::keyClick(Control<QLineEdit>(w, "txtFILE1"), Qt::Key_Escape);
        });
    }
    // The question's box is modal: Stop is pressed as it closes.
    ModalAnswerer answerer({byEscape ? kCancel : kYes}, {}, [&] {
        if (byEscape)
            return;
        captionDuringRun = Control<QPushButton>(w, "cmdRUN")->text();
        Control<QPushButton>(w, "cmdRUN")->click();
    });

    Compare(w, {a, b, u"10"_qs});
    // A click meant for "&Stop" that comes once the run has unwound starts no run.
    if (clickedTwice)
        QTest::mouseClick(Control<QPushButton>(w, "cmdRUN"), Qt::LeftButton);
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(captionDuringRun, u"&Stop"_qs);
    QCOMPARE(Control<QPushButton>(w, "cmdRUN")->text(), u"&Compare"_qs);
    QVERIFY(!w.IsComparing());
    QVERIFY(w.isVisible());
    const QString report = Pane(w)->toPlainText();
    QCOMPARE(report.count(u"File 1: "_qs), 1);
    QVERIFY(!report.contains(u" locations\n"_qs));

    // The note names the first file 1 position not compared: every difference before it is
    // listed, none after it.
    const qint64 stop = StoppedAt(w);
    QVERIFY2(stop >= 0x10 && stop < 0x10 + 8192, qPrintable(report.right(200)));
    QCOMPARE(stop > 0x10 + 4000, !byEscape);
    QStringList expected;
    for (qint64 position = 0x10; position < stop; position += 4)
        expected << u"%1: 61 62"_qs.arg(position, 8, 16, QLatin1Char('0')).toUpper();
    const QStringList body = report.section(u"\n\n"_qs, 1, 1).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(body.mid(0, body.size() - 1), expected);
    QCOMPARE(StatusPanel(w)->text(), body.last());
    QVERIFY(Pane(w)->isEnabled());
}

void FMainTest::closingDuringARunStopsItAndCloses()
{
    const QString a = MakeFile(*m_dir, u"a.bin"_qs, QByteArray(4096, 'a'));
    const QString b = MakeFile(*m_dir, u"b.bin"_qs, QByteArray(4096, 'b'));
    fMAIN& w = *m_window;
    bool visibleAfterExit = false;
    QTimer::singleShot(0, &w, [&] {
        QVERIFY(w.IsComparing());
        QTest::mouseClick(Control<QPushButton>(w, "cmdEXIT"), Qt::LeftButton);
        visibleAfterExit = w.isVisible(); // the close waits for the run to unwind
    });

    ModalAnswerer answerer({kNo}); // the report so far is unsaved: closing asks about it
    Compare(w, {a, b});
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QVERIFY(visibleAfterExit);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.IsComparing());
    QVERIFY(!Pane(w)->toPlainText().contains(u" locations\n"_qs));
    QVERIFY(StoppedAt(w) >= 0);
    QTest::qWait(50);
    QVERIFY(!w.isVisible());
}

void FMainTest::reportPastThePaneBudgetEndsInItsOverflowError()
{
    // Every fourth byte differs, so the question after 1000 changes comes after the first
    // progress marks; the budget holds about a hundred lines.
    QByteArray bytes2(40000, 'a');
    for (qsizetype i = 0; i < bytes2.size(); i += 4)
        bytes2[i] = 'b';
    const QString a = MakeFile(*m_dir, u"a.bin"_qs, QByteArray(40000, 'a'));
    const QString b = MakeFile(*m_dir, u"b.bin"_qs, bytes2);
    fMAIN& w = *m_window;
    Pane(w)->SetMemoryBudget(10000);

    ModalAnswerer answerer({kOk});
    Compare(w, {a, b});
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Lumatra"_qs);
    QVERIFY2(answerer.SeenBoxes()[0].text.contains(u"lumatra-report -o"_qs),
             qPrintable(answerer.SeenBoxes()[0].text));
    const QString report = Pane(w)->toPlainText();
    QVERIFY(report.startsWith(u"File 1: "_qs + a));
    QVERIFY(!report.contains(u" locations\n"_qs));
    const qint64 stop = StoppedAt(w);
    QVERIFY(stop > 0 && stop < 40000);
    QVERIFY(report.count(u": 61 62"_qs) < 1000);

    // The report so far is the user's to search and save.
    QVERIFY(Pane(w)->isEnabled());
    QVERIFY(Pane(w)->updatesEnabled());
    w.FindText = u"00000004: 61 62"_qs;
    Control<QAction>(w, "mnuFINDNXT")->trigger();
    QCOMPARE(Pane(w)->textCursor().selectedText(), w.FindText);
}

void FMainTest::keepsMinimumSizes()
{
    fMAIN& w = *m_window;
    const int menu = w.height() - InnerHeight(w);
    const auto resizeInner = [&](int width, int height) { w.resize(width, height + menu); };

    resizeInner(kMinInnerWidth - 1, 500);
    QTRY_COMPARE(w.frameGeometry().width(), kMinOuterWidth);
    resizeInner(kMinInnerWidth, 500);
    QTRY_COMPARE(w.width(), kMinInnerWidth);

    // The outer height snaps to 5000 twips, leaving the inner height below it.
    resizeInner(700, kMinInnerHeight - 1);
    QTRY_COMPARE(w.frameGeometry().height(), kSnapOuterHeight);
    QVERIFY(InnerHeight(w) < kMinInnerHeight);
    resizeInner(700, 450);
    resizeInner(700, kMinInnerHeight);
    QTRY_COMPARE(InnerHeight(w), kMinInnerHeight);

    // The pane follows both ways; the frame only moves down, keeping its size.
    resizeInner(900, 600);
    QTRY_COMPARE(Pane(w)->geometry(), QRect(1, 1, 898, 500));
    QCOMPARE(Control<QFrame>(w, "fraTab")->geometry(), QRect(3, 501, 553, 73));
}

void FMainTest::minimizedWindowIsNotLaidOut()
{
    fMAIN& w = *m_window;
    const QRect pane = Pane(w)->geometry();
    const QRect frame = Control<QFrame>(w, "fraTab")->geometry();
    w.showMinimized();
    QTRY_VERIFY(w.isMinimized());
    w.resize(300, 200);
    QTRY_COMPARE(w.size(), QSize(300, 200));
    QCOMPARE(Pane(w)->geometry(), pane);
    QCOMPARE(Control<QFrame>(w, "fraTab")->geometry(), frame);

    w.showNormal();
    QTRY_COMPARE(w.frameGeometry().width(), kMinOuterWidth);
    QTRY_COMPARE(Pane(w)->width(), w.centralWidget()->width() - 2);
}

void FMainTest::tabOrderFollowsTheDesign()
{
    fMAIN& w = *m_window;
    const QList<QWidget*> cycle = {
        Control<QPushButton>(w, "cmdEXIT"),   Control<QPushButton>(w, "cmdRUN"),
        Control<QLineEdit>(w, "txtFILE2"),    Control<QPushButton>(w, "cmdFILE2"),
        Control<QLineEdit>(w, "txtFILE1"),    Control<QPushButton>(w, "cmdFILE1"),
        Control<QCheckBox>(w, "chkChars"),    Control<QLineEdit>(w, "txtOFS1"),
        Control<QLineEdit>(w, "txtOFS2"),     Pane(w),
        Control<QRadioButton>(w, "optNormal")};
    Control<QRadioButton>(w, "optNormal")->setFocus();
    QList<QWidget*> visited;
    for (qsizetype i = 0; i < cycle.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited, cycle);

    // Of the two options only the selected one is a stop.
    QTest::mouseClick(Control<QRadioButton>(w, "optLines"), Qt::LeftButton);
    Control<QLineEdit>(w, "txtOFS2")->setFocus();
    QTest::keyClick(Control<QLineEdit>(w, "txtOFS2"), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Control<QRadioButton>(w, "optLines"));
    QTest::keyClick(Control<QRadioButton>(w, "optLines"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Control<QPushButton>(w, "cmdEXIT"));
}

void FMainTest::enterAndEscapeReachTheButtons()
{
    fMAIN& w = *m_window;
    QSignalSpy run(Control<QPushButton>(w, "cmdRUN"), &QPushButton::clicked);
    QSignalSpy file1(Control<QPushButton>(w, "cmdFILE1"), &QPushButton::clicked);

    for (QWidget* control :
         QList<QWidget*>{Control<QLineEdit>(w, "txtOFS2"), Control<QCheckBox>(w, "chkChars"),
                         Control<QRadioButton>(w, "optNormal")}) {
        ModalAnswerer answerer({kOk});
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        QCOMPARE(answerer.SeenBoxes().size(), 1); // "File 1 doesn't exist!"
    }
    QCOMPARE(run.count(), 3);

    Control<QPushButton>(w, "cmdFILE1")->setFocus();
    QTest::keyClick(Control<QPushButton>(w, "cmdFILE1"), Qt::Key_Return);
    QCOMPARE(file1.count(), 1);
    Pane(w)->setFocus();
    QTest::keyClick(Pane(w), Qt::Key_Return);
    QCOMPARE(Pane(w)->toPlainText(), u"\n"_qs);
    QCOMPARE(run.count(), 3);

    // Access keys need the window active, which the message boxes above took away.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    {
        ModalAnswerer answerer({kOk});
        QTest::keyClick(Control<QLineEdit>(w, "txtFILE1"), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(answerer.SeenBoxes().size(), 1); // an access key clicks a moment later
    }
    QCOMPARE(run.count(), 4);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    {
        QSignalSpy exit(Control<QPushButton>(w, "cmdEXIT"), &QPushButton::clicked);
        ModalAnswerer answerer({kNo}); // the typed line break is unsaved: closing asks about it
        QTest::keyClick(Control<QLineEdit>(w, "txtFILE1"), Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(exit.count(), 1);
        QVERIFY(!w.isVisible());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

    ModalAnswerer answerer({kNo});
    QTest::keyClick(Pane(w), Qt::Key_Escape);
    QVERIFY(!w.isVisible());
}

void FMainTest::offsetFieldsTakeEightCharacters()
{
    fMAIN& w = *m_window;
    TypeInto(Control<QLineEdit>(w, "txtOFS1"), u"123456789"_qs);
    QCOMPARE(Control<QLineEdit>(w, "txtOFS1")->text(), u"12345678"_qs);

    QTest::keyClick(Control<QLineEdit>(w, "txtOFS1"), Qt::Key_Home);
    QTest::keyClick(Control<QLineEdit>(w, "txtOFS1"), Qt::Key_9);
    QCOMPARE(Control<QLineEdit>(w, "txtOFS1")->text(), u"12345678"_qs);

    // A paste that does not fit is refused whole, never cut to a valid but wrong offset,
    // whether it would replace the selection or join the text; one that fits goes in.
    QClipboard* clipboard = QApplication::clipboard();
    Control<QLineEdit>(w, "txtOFS2")->setFocus();
    Control<QLineEdit>(w, "txtOFS2")->selectAll();
    clipboard->setText(u"100000000"_qs);
    QTest::keySequence(Control<QLineEdit>(w, "txtOFS2"), QKeySequence::Paste);
    QCOMPARE(Control<QLineEdit>(w, "txtOFS2")->text(), u"0"_qs);
    QTest::keyClick(Control<QLineEdit>(w, "txtOFS2"), Qt::Key_End);
    clipboard->setText(u"ABCDEF01"_qs);
    QTest::keySequence(Control<QLineEdit>(w, "txtOFS2"), QKeySequence::Paste);
    QCOMPARE(Control<QLineEdit>(w, "txtOFS2")->text(), u"0"_qs);
    Control<QLineEdit>(w, "txtOFS2")->selectAll();
    QTest::keySequence(Control<QLineEdit>(w, "txtOFS2"), QKeySequence::Paste);
    QCOMPARE(Control<QLineEdit>(w, "txtOFS2")->text(), u"ABCDEF01"_qs);

    TypeInto(Control<QLineEdit>(w, "txtFILE1"), QString(300, QLatin1Char('f')));
    QCOMPARE(Control<QLineEdit>(w, "txtFILE1")->text().size(), 300);
}

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<FMainTest>(argc, argv);
}
#include "fmain_test.moc"
