#include "contextview.h"
#include "isolatedstore.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "testfiles.h"
#include "windowcontrols.h"
#include "windowdriver.h"

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// File 2 holds 0xFF at these indexes from its offset, zeros elsewhere, as file 1 does.
constexpr std::uint64_t kOffset1 = 0x20, kOffset2 = 0x10;
constexpr qsizetype kLength1 = 40000, kLength2 = 30000;
const std::uint64_t kIndexes[] = {50, 147, 244, 341};

QAction* Item(fMAIN& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

// The label of the report line the pane's caret is on.
std::uint64_t CaretLabel(ResultPane& pane)
{
    QTextCursor cursor = pane.textCursor();
    cursor.movePosition(QTextCursor::StartOfLine);
    cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    return cursor.selectedText().section(u':', 0, 0).toULongLong(nullptr, 16);
}

// Puts the caret on the first line whose text starts with start.
void CaretTo(ResultPane& pane, const QString& start)
{
    const QTextCursor found = pane.document()->find(start);
    QVERIFY(!found.isNull());
    QTextCursor cursor(pane.document());
    cursor.setPosition(found.selectionStart());
    pane.setTextCursor(cursor);
}

QString Hex(std::uint64_t value)
{
    return QString::number(value, 16).toUpper().rightJustified(8, u'0');
}

} // namespace

class ContextViewTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void viewAndPaneFollowEachOther_data();
    void viewAndPaneFollowEachOther();
    void goToRefusesWhatFile1DoesNotHold();
    void scrollsAcrossBillionsOfRows();
    void realignedViewStaysLinedUp();
    void settingIsKeptAcrossARestart();

  private:
    QTemporaryDir m_dir;
    QString m_path1, m_path2;
};

void ContextViewTest::initTestCase()
{
    QByteArray two(kLength2, '\0');
    for (const std::uint64_t i : kIndexes)
        two[qsizetype(kOffset2 + i)] = char(0xFF);
    m_path1 = m_dir.filePath(u"one.bin"_s);
    m_path2 = m_dir.filePath(u"two.bin"_s);
    QVERIFY(WriteFile(m_path1, QByteArray(kLength1, '\0')) && WriteFile(m_path2, two));
}

void ContextViewTest::viewAndPaneFollowEachOther_data()
{
    QTest::addColumn<bool>("byLines");
    QTest::newRow("Normal: file 1 positions") << false;
    QTest::newRow("By lines: indexes") << true;
}

// Next and Previous Difference walk the files and take the pane's caret to the line of each
// difference; the caret on a line takes the view there, also after the report was edited.
void ContextViewTest::viewAndPaneFollowEachOther()
{
    QFETCH(bool, byLines);
    auto window = OpenWindow();
    QVERIFY(window);
    Compare(*window, {m_path1, m_path2, u"20"_s, u"10"_s, byLines});
    auto* view = window->findChild<ContextView*>();
    QVERIFY(view && view->isVisible());
    QCOMPARE(view->Position(), kOffset1);
    ResultPane& pane = *Pane(*window);
    const std::uint64_t labelBase = byLines ? 0 : kOffset1;

    for (const std::uint64_t i : {kIndexes[0], kIndexes[1], kIndexes[2]}) {
        Item(*window, "mnuNEXTDIFF")->trigger();
        QCOMPARE(view->Position(), kOffset1 + i);
        QCOMPARE(CaretLabel(pane), labelBase + i);
    }
    Item(*window, "mnuPREVDIFF")->trigger();
    QCOMPARE(view->Position(), kOffset1 + kIndexes[1]);
    Item(*window, "mnuPREVDIFF")->trigger();
    Item(*window, "mnuPREVDIFF")->trigger();
    QCOMPARE(view->Position(), kOffset1 + kIndexes[0]);
    QCOMPARE(StatusPanel(*window)->text(), u"No difference before 0x52"_s);

    // An edited report: a line gone, a note typed; the caret on a line moves the view.
    CaretTo(pane, Hex(labelBase + kIndexes[1]));
    QTextCursor cut = pane.textCursor();
    cut.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor);
    cut.insertText(u"a note\n"_s);
    CaretTo(pane, Hex(labelBase + kIndexes[3]));
    QCOMPARE(view->Position(), kOffset1 + kIndexes[3]);
    if (byLines) {
        // The rows under a label belong to it.
        QTextCursor below = pane.textCursor();
        below.movePosition(QTextCursor::Down);
        pane.setTextCursor(below);
        QCOMPARE(view->Position(), kOffset1 + kIndexes[3]);
    }
    // The view's own moves take the caret along; a byte that no line lists leaves it.
    const int caret = pane.textCursor().position();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(view->Position(), kOffset1 + kIndexes[3] - 16);
    QCOMPARE(pane.textCursor().position(), caret);
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(CaretLabel(pane), labelBase + kIndexes[3]);

    // A file rewritten since the comparison is told above the rows.
    QVERIFY(view->Note().isEmpty());
    QTest::qWait(20);
    QVERIFY(WriteFile(m_path2, QByteArray(kLength2, '\1')));
    view->ShowPosition(0);
    view->viewport()->repaint();
    QVERIFY2(view->Note().startsWith(u"File 2 changed since the comparison"_s),
             qPrintable(view->Note()));
    initTestCase();

    ModalAnswerer answers({kNo});
    window->close();
}

void ContextViewTest::goToRefusesWhatFile1DoesNotHold()
{
    auto window = OpenWindow();
    QVERIFY(window);
    Compare(*window, {m_path1, m_path2});
    auto* view = window->findChild<ContextView*>();
    {
        ModalAnswerer answers({kOk, kOk}, {u"zz"_s, u"9C40"_s, u"100"_s});
        for (int i = 0; i < 3; ++i)
            Item(*window, "mnuGOTO")->trigger();
        QCOMPARE(answers.SeenBoxes().size(), 2);
        QCOMPARE(answers.SeenBoxes()[1].text,
                 u"Position 0x9C40 lies past the end of file 1, whose last byte is at 0x9C3F."_s);
    }
    QCOMPARE(view->Position(), 0x100u);
    ModalAnswerer answers({kNo});
    window->close();
}

// File 1 of 48 GiB (sparse) against a short file 2: three times the rows an int counts. The
// scroll bar spans them, its ends reach the file's ends, and dragging it takes the cursor along.
void ContextViewTest::scrollsAcrossBillionsOfRows()
{
    constexpr qint64 kBig = qint64(48) << 30;
    const QString big = m_dir.filePath(u"big.bin"_s);
    QFile file(big);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(kBig))
        QSKIP("no sparse files here");
    file.close();
    auto window = OpenWindow();
    QVERIFY(window);
    Compare(*window, {big, m_path2});
    auto* view = window->findChild<ContextView*>();
    QVERIFY(view->Scale().Scaled());
    QScrollBar* bar = view->verticalScrollBar();
    const std::uint64_t rows = view->Layout().RowCount();
    QCOMPARE(rows, std::uint64_t(kBig) / 16);

    view->setFocus();
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view->Position(), std::uint64_t(kBig - 1));
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(view->TopRow() + view->VisibleRows(), rows);

    bar->setValue(bar->maximum() / 2);
    QVERIFY(view->TopRow() > rows / 2 - rows / 1000 && view->TopRow() < rows / 2 + rows / 1000);
    const std::uint64_t row = view->Position() / 16;
    QVERIFY(row >= view->TopRow() && row < view->TopRow() + view->VisibleRows());

    QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(view->Position(), 0u);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(view->SelectedText().left(11), u"000000000  "_s); // nine digits past 4 GiB
    ModalAnswerer answers({kNo});
    window->close();
}

// File 2 is file 1 with 0x28 bytes removed at 0x1800, 0x64 inserted at 0x400, 0x1000 at 0x1C00
// and 0x200 after its end. After a realigning comparison Next Difference stops at each edit
// with the pane's caret on its line, and shows the inserted rows; after them both sides hold
// the same bytes again, and scrolling into the inserted rows takes the cursor to file 1's first
// byte after them. The keys walk the rows of the view, through the inserted ones too.
void ContextViewTest::realignedViewStaysLinedUp()
{
    QByteArray one(0x2000, '\0');
    for (qsizetype i = 0; i < one.size(); ++i)
        one[i] = char(i * 7 + i / 251);
    QByteArray two = one;
    two.remove(0x1800, 0x28);
    QByteArray added(0x1000, '\0');
    for (qsizetype i = 0; i < added.size(); ++i)
        added[i] = char(i * 13 + 5 + i / 97);
    two.insert(0x1C00 - 0x28, added);
    two.append(added.left(0x200));
    two.insert(0x400, QByteArray(0x64, 'x'));
    const QString path1 = m_dir.filePath(u"r1.bin"_s), path2 = m_dir.filePath(u"r2.bin"_s);
    QVERIFY(WriteFile(path1, one) && WriteFile(path2, two));
    auto window = OpenWindow();
    QVERIFY(window);
    Item(*window, "mnuREALIGN")->trigger();
    Compare(*window, {path1, path2});
    auto* view = window->findChild<ContextView*>();
    ResultPane& pane = *Pane(*window);

    Item(*window, "mnuNEXTDIFF")->trigger();
    QCOMPARE(view->Position(), 0x400u);
    QCOMPARE(CaretLabel(pane), 0x400u);
    const std::uint64_t inserted = view->Layout().RowOf(2, 0x400);
    QVERIFY(view->TopRow() <= inserted);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    const QString row = view->SelectedText();
    QVERIFY2(row.startsWith(u"0000040C  "_s) && row.contains(u"   00000470  "_s) &&
                 !row.contains(u'*'),
             qPrintable(row));
    Item(*window, "mnuNEXTDIFF")->trigger();
    QCOMPARE(view->Position(), 0x1800u);
    QCOMPARE(CaretLabel(pane), 0x1800u);
    // A removed byte after the first takes the caret to the removal's line too.
    CaretTo(pane, Hex(0x400));
    view->ShowPosition(0x1800);
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(view->Position(), 0x1810u);
    QCOMPARE(CaretLabel(pane), 0x1800u);

    view->ShowPosition(0x3F0);
    view->verticalScrollBar()->setValue(int(view->Layout().RowOf(1, 0x400)) - 1);
    QCOMPARE(view->Position(), 0x400u);

    // From column 8 of a row before an insertion: a key pressed a number of times, file 1's
    // position after each press, and whether the cursor is then on inserted rows, where the
    // position is the insertion's and the pane's caret goes to its line.
    const struct
    {
        std::uint64_t from; // 0: on from the step before
        Qt::Key key;
        int presses;
        std::uint64_t position;
        bool inserted;
    } walks[] = {
        {0x3F8, Qt::Key_Down, 6, 0x400, true},
        {0, Qt::Key_Down, 1, 0x404, false},
        {0, Qt::Key_Up, 6, 0x400, true},
        {0, Qt::Key_Up, 1, 0x3F8, false},
        {0x1BF8, Qt::Key_PageDown, 2, 0x1C00, true},
        {0, Qt::Key_PageUp, 1, 0x1C00, true},
        {0, Qt::Key_PageUp, 1, 0x1BF8, false},
    };
    for (const auto& walk : walks) {
        if (walk.from != 0)
            view->ShowPosition(walk.from);
        const bool down = walk.key == Qt::Key_Down || walk.key == Qt::Key_PageDown;
        const std::uint64_t by =
            walk.key == Qt::Key_Up || walk.key == Qt::Key_Down ? 1 : view->VisibleRows() - 1;
        for (int i = 0; i < walk.presses; ++i) {
            const std::uint64_t row = view->CursorRow();
            QTest::keyClick(view, walk.key);
            QCOMPARE(view->CursorRow(), down ? row + by : row - by);
            QVERIFY(view->CursorRow() - view->TopRow() < view->VisibleRows());
            QCOMPARE(view->Position(), walk.position);
            if (walk.inserted)
                QCOMPARE(CaretLabel(pane), walk.position);
        }
    }
    // The bytes file 2 holds after file 1's end are rows of the cursor too.
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view->CursorRow(), view->Layout().RowCount() - 1);
    QCOMPARE(view->Position(), 0x1FFFu);
    ModalAnswerer answers({kNo});
    window->close();
}

void ContextViewTest::settingIsKeptAcrossARestart()
{
    auto window = OpenWindow();
    QVERIFY(window);
    QAction* item = Item(*window, "mnuCONTEXT");
    QVERIFY(item->isChecked());
    item->trigger();
    {
        ModalAnswerer answers({kNo});
        QVERIFY(window->close());
    }
    window = std::make_unique<fMAIN>();
    window->show();
    QVERIFY(!Item(*window, "mnuCONTEXT")->isChecked());
    Compare(*window, {m_path1, m_path2});
    QVERIFY(!window->findChild<ContextView*>()->isVisible());
    ModalAnswerer answers({kNo});
    window->close();
}

QTEST_MAIN(ContextViewTest)
#include "contextview_test.moc"
