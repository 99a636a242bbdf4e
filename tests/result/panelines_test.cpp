#include "panelines.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

class PaneLinesTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void readsEveryRangeAndLineOfMixedBreaks();
};

// Paragraph ends and line separators, empty lines among them, at both ends of the text: from
// every position the line holding it is found and the walk reaches every line both ways, and
// every range reads as the plain text does with its breaks written as asked.
void PaneLinesTest::readsEveryRangeAndLineOfMixedBreaks()
{
    QPlainTextEdit pane(u"\u2028ab\u2028\u2028c\n\nde\u2028f\n"_s);
    const QTextDocument& document = *pane.document();
    const QString plain = pane.toPlainText().replace(u'\u2028', u'\n');
    const QStringList lines = plain.split(u'\n');
    QList<int> starts{0};
    for (const QString& line : lines)
        starts.append(starts.back() + int(line.size()) + 1);
    const int end = int(plain.size());
    QCOMPARE(end, document.characterCount() - 1);

    for (int position = 0; position <= end; ++position) {
        const auto i =
            std::upper_bound(starts.begin(), starts.end(), position) - starts.begin() - 1;
        const bVarious::PaneLine line(document, position);
        QCOMPARE(line.Position(), starts[i]);
        QCOMPARE(line.Text(), lines[i]);
    }
    QStringList forward, backward;
    for (bVarious::PaneLine line(document, 0); line.IsValid(); line.Next())
        forward.append(line.Text().toString());
    for (bVarious::PaneLine line(document, end); line.IsValid(); line.Previous())
        backward.prepend(line.Text().toString());
    QCOMPARE(forward, lines);
    QCOMPARE(backward, lines);

    for (int from = 0; from <= end; ++from) {
        for (int to = from; to <= end; ++to) {
            QString text = u"<"_s;
            QVERIFY(bVarious::ReadPaneText(document, from, to, u"\r\n", text));
            QCOMPARE(text, u"<"_s + plain.mid(from, to - from).replace(u'\n', u"\r\n"_s));
        }
    }
}

QTEST_MAIN(PaneLinesTest)
#include "panelines_test.moc"
