#include "panelines.h"
#include "search.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Selection
{
    int start;
    int end;
    bool operator==(const Selection&) const = default;
};

Selection SelectionOf(const QPlainTextEdit& pane)
{
    return {pane.textCursor().selectionStart(), pane.textCursor().selectionEnd()};
}

} // namespace

namespace QTest {
template <> char* toString(const Selection& s)
{
    return qstrdup((QByteArray::number(s.start) + ".." + QByteArray::number(s.end)).constData());
}
} // namespace QTest

class SearchTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void findsFromStartIgnoringCase_data();
    void findsFromStartIgnoringCase();
    void missLeavesTheSelection();
    void seesTheTextAsChangedSinceTheLastSearch();
    void findsAMatchAcrossThePiecesOfALongReport();
};

void SearchTest::findsFromStartIgnoringCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("found");
    // "00000001: 42 62  B b\n00000005: 46 66  F f\n": the second line starts at 21.
    QTest::newRow("lower case finds upper") << u"f f"_s << 0 << 38;
    QTest::newRow("inside a word") << u"0005"_s << 0 << 25;
    QTest::newRow("at the start position") << u"00000005"_s << 21 << 21;
    QTest::newRow("before the start is missed") << u"42 62"_s << 11 << -1;
    QTest::newRow("across a line break") << u"b\n00000005"_s << 19 << 19;
    QTest::newRow("a selection's line break") << u"b\u2029000"_s << 0 << 19;
    QTest::newRow("CR LF as line break") << u"b\r\n000"_s << 0 << 19;
    QTest::newRow("past the end") << u"f"_s << 100 << -1;
    QTest::newRow("empty text") << QString() << 0 << -1;
}

void SearchTest::findsFromStartIgnoringCase()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, found);
    QPlainTextEdit pane(u"00000001: 42 62  B b\n00000005: 46 66  F f\n"_s);
    QCOMPARE(bVarious::FindInPane(pane, text, start), found);
    if (found >= 0) {
        const int length = int(text.size() - text.count(u"\r\n"_s));
        QCOMPARE(SelectionOf(pane), (Selection{found, found + length}));
        QCOMPARE(pane.textCursor().selectedText().toLower(),
                 QString(text).replace(u"\r\n"_s, u"\u2029"_s).replace(u'\n', u'\u2029'));
    }
}

void SearchTest::missLeavesTheSelection()
{
    QPlainTextEdit pane(u"abc abc"_s);
    QTextCursor cursor = pane.textCursor();
    cursor.setPosition(1);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    pane.setTextCursor(cursor);
    QCOMPARE(bVarious::FindInPane(pane, u"xyz"_s, 0), -1);
    QCOMPARE(SelectionOf(pane), (Selection{1, 3}));
}

// The text is kept between searches; every kind of change must be seen by the next one.
void SearchTest::seesTheTextAsChangedSinceTheLastSearch()
{
    QPlainTextEdit pane(u"alpha beta"_s);
    QCOMPARE(bVarious::FindInPane(pane, u"gamma"_s, 0), -1);
    pane.appendPlainText(u"gamma"_s);
    QCOMPARE(bVarious::FindInPane(pane, u"gamma"_s, 0), 11);
    pane.textCursor().insertText(u"new "_s); // the caret stood after "gamma"
    QTextCursor start(pane.document());
    start.insertText(u"x"_s);
    QCOMPARE(bVarious::FindInPane(pane, u"beta"_s, 0), 7);
    pane.setPlainText(u"beta only"_s);
    QCOMPARE(bVarious::FindInPane(pane, u"beta"_s, 1), -1);
    QCOMPARE(bVarious::FindInPane(pane, u"only"_s, 0), 5);
}

// A report far longer than the 256 Ki characters the search reads at a time, with its only
// match a few lines long: from starts that move the first piece's end across the match, the
// match is found wherever that end cuts it; a search that misses reads every piece.
void SearchTest::findsAMatchAcrossThePiecesOfALongReport()
{
    constexpr int kLines = 40000;
    constexpr int kPiece = int(bVarious::kPieceChars);
    QString text;
    for (int i = 0; i < kLines; ++i)
        text += QString::number(i).rightJustified(8, u'0') + u": x\n"_s; // 12 positions a line
    const int at = 270000 / 12 * 12 + 4;                                 // inside a line
    const QString needle = text.mid(at, 30).toUpper().replace(u'\n', u'\u2029');
    QPlainTextEdit pane(text);
    for (int start = at - kPiece - 60; start < at - kPiece + 40; start += 7) {
        QCOMPARE(bVarious::FindInPane(pane, needle, start), at);
        QCOMPARE(SelectionOf(pane), (Selection{at, at + 30}));
    }
    QCOMPARE(bVarious::FindInPane(pane, needle, 0), at);
    // A text of one line is looked for paragraph by paragraph: the last line, past every piece.
    QCOMPARE(bVarious::FindInPane(pane, u"00039999: X"_s, 100), (kLines - 1) * 12);
    int steps = 0;
    QCOMPARE(bVarious::FindInPane(pane, u"y"_s, 0, [&](qint64, qint64) { ++steps; }), -1);
    QVERIFY(steps > 0);
    QCOMPARE(SelectionOf(pane), (Selection{(kLines - 1) * 12, kLines * 12 - 1}));
}

QTEST_MAIN(SearchTest)
#include "search_test.moc"
