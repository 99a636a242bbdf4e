#include "panesink.h"
#include "resultpane.h"
#include "resultwriter.h"
#include "statustext.h"

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

constexpr quint32 kRed = 0x000000FF; // 0x00BBGGRR
constexpr quint32 kBlue = 0x00FF0000;

QColor ColourAt(const ResultPane& pane, int position)
{
    QTextCursor cursor(pane.document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat().foreground().color();
}

// Every visible character's colour, in order; line breaks are left out.
QList<QColor> Colours(const ResultPane& pane)
{
    QList<QColor> result;
    const QString text = pane.toPlainText();
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i) != QLatin1Char('\n'))
            result.append(ColourAt(pane, i));
    return result;
}

} // namespace

class ResultPaneTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void appendLineIndentsAndColoursTheWholeLine();
    void consecutiveLinesKeepOrderColourAndCaret();
    void appendLineReplacesTheSelection();
    void lineBreakInsideTheTextGivesAnEmptyLine();
    void frozenPaneGivesTheSameTextAndColours();
    void frozenPaneCountsEveryLineForTheScrollBar();
    void longFrozenReportArrivesInOrderInSeveralBatches();
    void freezeAndUnfreeze();
    void unfreezeLeavesTheFocusOfAHiddenPane();
    void showStatusSetsTextAndHandlesEvents();
    void sinkFlushesBeforeEventsAndStopsWhenAsked();
};

void ResultPaneTest::appendLineIndentsAndColoursTheWholeLine()
{
    ResultPane pane;
    bVarious::AppendLine(pane, QStringLiteral("abc"), kRed, 3);
    bVarious::AppendLine(pane, QString(), kBlue, 0);
    QCOMPARE(pane.toPlainText(), QStringLiteral("   abc\n\n"));
    const QList<QColor> expected(6, QColor(Qt::red));
    QCOMPARE(Colours(pane), expected); // the indent's blanks too
    // A line break is the separator in front of the next block, and takes its line's colour;
    // the empty line is that coloured line break alone.
    const auto breakColour = [&pane](int line) {
        return pane.document()->findBlockByNumber(line + 1).charFormat().foreground().color();
    };
    QCOMPARE(breakColour(0), QColor(Qt::red));
    QCOMPARE(breakColour(1), QColor(Qt::blue));
}

void ResultPaneTest::consecutiveLinesKeepOrderColourAndCaret()
{
    ResultPane pane;
    bVarious::AppendLine(pane, QStringLiteral("one"), kRed, 0);
    bVarious::AppendLine(pane, QStringLiteral("two"), kBlue, 0);
    QCOMPARE(pane.toPlainText(), QStringLiteral("one\ntwo\n"));
    QCOMPARE(ColourAt(pane, 0), QColor(Qt::red));
    QCOMPARE(ColourAt(pane, 4), QColor(Qt::blue));
    QCOMPARE(pane.textCursor().position(), 8);
    QVERIFY(!pane.textCursor().hasSelection());
}

void ResultPaneTest::appendLineReplacesTheSelection()
{
    ResultPane pane;
    pane.setPlainText(QStringLiteral("keep\nreplace me\nend"));
    QTextCursor selection(pane.document());
    selection.setPosition(5);
    selection.setPosition(15, QTextCursor::KeepAnchor);
    pane.setTextCursor(selection);

    bVarious::AppendLine(pane, QStringLiteral("new"), kRed, 0);
    QCOMPARE(pane.toPlainText(), QStringLiteral("keep\nnew\n\nend"));
    QCOMPARE(pane.textCursor().position(), 9);
    QVERIFY(!pane.textCursor().hasSelection());
    QCOMPARE(ColourAt(pane, 5), QColor(Qt::red));
    QVERIFY(ColourAt(pane, 0) != QColor(Qt::red));
}

void ResultPaneTest::lineBreakInsideTheTextGivesAnEmptyLine()
{
    ResultPane pane;
    bVarious::AppendLine(pane, QStringLiteral("\r\n3 bytes changed, 2 locations"), 0, 0);
    QCOMPARE(pane.toPlainText(), QStringLiteral("\n3 bytes changed, 2 locations\n"));
}

void ResultPaneTest::frozenPaneGivesTheSameTextAndColours()
{
    ResultPane live;
    ResultPane frozen;
    bool changed = false;
    bVarious::FreezeResult(frozen, true, changed);
    for (ResultPane* pane : {&live, &frozen}) {
        for (int i = 0; i < 50; ++i)
            bVarious::AppendLine(*pane, QString::number(i), i % 7 == 0 ? kRed : kBlue, i % 3);
        bVarious::AppendLine(*pane, QStringLiteral("\r\nsummary"), 0, 0);
    }
    bVarious::FreezeResult(frozen, false, changed);
    QCOMPARE(frozen.toPlainText(), live.toPlainText());
    QCOMPARE(Colours(frozen), Colours(live));
    QCOMPARE(frozen.textCursor().position(), live.textCursor().position());
}

void ResultPaneTest::frozenPaneCountsEveryLineForTheScrollBar()
{
    ResultPane live;
    ResultPane frozen;
    bool changed = false;
    bVarious::FreezeResult(frozen, true, changed);
    for (ResultPane* pane : {&live, &frozen}) {
        pane->resize(300, 200);
        for (int i = 0; i < 1000; ++i) {
            bVarious::AppendLine(*pane, QString::number(i), 0, 0);
            if (i == 500)
                pane->FlushPending(); // as before the window handles its events
        }
    }
    bVarious::FreezeResult(frozen, false, changed);
    const int lines = 1001; // the empty line after the last line break too
    QCOMPARE(live.document()->lineCount(), lines);
    QCOMPARE(frozen.document()->lineCount(), lines);
    QCOMPARE(frozen.verticalScrollBar()->maximum(), live.verticalScrollBar()->maximum());
    QCOMPARE(frozen.toPlainText(), live.toPlainText());
    // Scrolled to a line, both show it at the top: the frozen pane's lines scroll one by one.
    const auto topLine = [](ResultPane& pane) {
        pane.verticalScrollBar()->setValue(700);
        QTextCursor top = pane.cursorForPosition(QPoint(1, 1));
        top.movePosition(QTextCursor::StartOfLine);
        top.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        return top.selectedText();
    };
    QCOMPARE(topLine(live), QStringLiteral("700"));
    QCOMPARE(topLine(frozen), QStringLiteral("700"));
}

void ResultPaneTest::longFrozenReportArrivesInOrderInSeveralBatches()
{
    // Over a million characters: the pane passes them on in more than one batch.
    ResultPane frozen;
    ResultPane plain;
    frozen.resize(300, 200);
    plain.resize(300, 200);
    bool changed = false;
    bVarious::FreezeResult(frozen, true, changed);
    QString expected;
    for (int i = 0; i < 70000; ++i) {
        const QString line = QStringLiteral("%1: 5A A5").arg(i * 16, 8, 16, QLatin1Char('0'));
        bVarious::AppendLine(frozen, line, i < 7 ? kRed : kBlue, 0);
        expected += line + QLatin1Char('\n');
        if (i % 20000 == 0)
            frozen.FlushPending(); // as before the window handles its events
    }
    bVarious::FreezeResult(frozen, false, changed);
    plain.setPlainText(expected);
    QCOMPARE(frozen.toPlainText(), expected);
    QCOMPARE(frozen.document()->lineCount(), plain.document()->lineCount());
    QCOMPARE(frozen.verticalScrollBar()->maximum(), plain.verticalScrollBar()->maximum());
    QCOMPARE(frozen.textCursor().position(), frozen.document()->characterCount() - 1);
    QCOMPARE(ColourAt(frozen, 0), QColor(Qt::red));
    QCOMPARE(ColourAt(frozen, int(expected.size()) - 2), QColor(Qt::blue));
}

void ResultPaneTest::freezeAndUnfreeze()
{
    QWidget window;
    auto* pane = new ResultPane(&window);
    auto* other = new QLabel(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    new QVBoxLayout(&window);
    window.layout()->addWidget(pane);
    window.layout()->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();

    bool changed = true; // unsaved edits are dropped from the flag all the same
    bVarious::FreezeResult(*pane, true, changed);
    QVERIFY(!changed);
    QVERIFY(!pane->isEnabled());
    QVERIFY(pane->IsFrozen());

    bVarious::AppendLine(*pane, QStringLiteral("written while frozen"), 0, 0);
    bVarious::FreezeResult(*pane, false, changed);
    QVERIFY(changed);
    QVERIFY(pane->isEnabled());
    QVERIFY(pane->updatesEnabled());
    QCOMPARE(pane->toPlainText(), QStringLiteral("written while frozen\n"));
    QTRY_VERIFY(pane->hasFocus());

    // An unfreeze without a freeze still enables the pane and marks the result changed.
    changed = false;
    bVarious::FreezeResult(*pane, false, changed);
    QVERIFY(changed);
}

void ResultPaneTest::unfreezeLeavesTheFocusOfAHiddenPane()
{
    QWidget window;
    auto* pane = new ResultPane(&window);
    auto* other = new QLabel(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    pane->hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();

    bool changed = false;
    bVarious::FreezeResult(*pane, true, changed);
    bVarious::FreezeResult(*pane, false, changed);
    QVERIFY(changed);
    QVERIFY(pane->isEnabled());
    QVERIFY(other->hasFocus());
}

void ResultPaneTest::showStatusSetsTextAndHandlesEvents()
{
    QLabel panel(QStringLiteral("Ready"));
    bool handled = false;
    QMetaObject::invokeMethod(
        &panel, [&handled] { handled = true; }, Qt::QueuedConnection);
    bFile::ShowStatus(panel, QString());
    QCOMPARE(panel.text(), QString());
    QVERIFY(handled);
}

void ResultPaneTest::sinkFlushesBeforeEventsAndStopsWhenAsked()
{
    ResultPane pane;
    QLabel panel;
    bool changed = false;
    bool stop = false;
    bVarious::FreezeResult(pane, true, changed);
    PaneSink sink(pane, panel, nullptr, [&stop] { return stop; });

    // A command run from the events (save, find) sees every line written so far.
    QString seen;
    QMetaObject::invokeMethod(
        &pane, [&] { seen = pane.toPlainText(); }, Qt::QueuedConnection);
    sink.AppendLine("File 1: Gr\xc3\xb6\xc3\x9f"
                    "e.bin",
                    0, 0);
    sink.ShowStatus("Preparing ...");
    QCOMPARE(panel.text(), QStringLiteral("Preparing ..."));
    QCOMPARE(seen, QStringLiteral("File 1: Gr\u00f6\u00dfe.bin\n"));

    QVERIFY(!sink.StopRequested());
    stop = true;
    QVERIFY(sink.StopRequested());

    // The note of a stopped run reaches the pane and the status, but no event runs while the
    // run unwinds.
    bool handled = false;
    QMetaObject::invokeMethod(
        &pane, [&handled] { handled = true; }, Qt::QueuedConnection);
    sink.AppendStopNote("Comparison stopped at 0x0.");
    QCOMPARE(panel.text(), QStringLiteral("Comparison stopped at 0x0."));
    QVERIFY(pane.toPlainText().endsWith(QStringLiteral("\nComparison stopped at 0x0.\n")));
    QVERIFY(!handled);
}

QTEST_MAIN(ResultPaneTest)
#include "resultpane_test.moc"
