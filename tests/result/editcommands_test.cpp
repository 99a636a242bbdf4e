#include "editcommands.h"
#include "resultpane.h"

#include <QTest>
#include <QTextCursor>

using namespace Qt::StringLiterals;

class EditCommandsTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void copiesALongSelectionExactly();
};

// A selection of several MiB, across paragraphs of lines gathered by a frozen pane, starting
// and ending inside lines: the copy holds exactly its text with '\n' breaks, and the progress
// it reports grows to the selection's length.
void EditCommandsTest::copiesALongSelectionExactly()
{
    ResultPane pane;
    QString expected;
    pane.SetFrozen(true);
    for (int i = 0; i < 200000; ++i) {
        const QString line = u"%1: line of the report"_s.arg(i, 8, 16, QLatin1Char('0'));
        pane.AddLine(line, Qt::black);
        expected += line + u'\n';
    }
    pane.SetFrozen(false);
    QCOMPARE(pane.document()->characterCount() - 1, expected.size());

    const int start = 7;
    const int end = int(expected.size()) - 5;
    QTextCursor cursor(pane.document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    pane.setTextCursor(cursor);
    qint64 lastDone = 0;
    bool inOrder = true;
    const QString copied = bVarious::SelectionText(pane, [&](qint64 done, qint64 total) {
        inOrder = inOrder && done > lastDone && done <= total && total == end - start;
        lastDone = done;
    });
    QCOMPARE(copied.size(), end - start);
    QVERIFY(copied == QStringView(expected).sliced(start, end - start));
    QVERIFY(inOrder);
    QVERIFY(lastDone > (end - start) / 2);
}

QTEST_MAIN(EditCommandsTest)
#include "editcommands_test.moc"
