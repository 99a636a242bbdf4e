#include "reportposition.h"

#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// An edited report in each layout: a line typed into it, and for By lines the rows under each
// label. joinedLines puts the lines into one paragraph, as a frozen pane gathers them.
QString Report(bool byLines, bool joinedLines)
{
    const QStringList lines = byLines
                                  ? QStringList{u"File 1: a.bin (64 bytes, Start offset 0x10)"_s,
                                                u""_s,
                                                u"00000001: 42 43"_s,
                                                u"           B  C"_s,
                                                u"          62 63"_s,
                                                u"           b  c"_s,
                                                u"typed note"_s,
                                                u"00000020: 46"_s,
                                                u"          66"_s,
                                                u""_s,
                                                u"3 bytes changed, 2 locations"_s}
                                  : QStringList{u"File 1: a.bin (64 bytes, Start offset 0x10)"_s,
                                                u""_s,
                                                u"00000011: 42 62  B b"_s,
                                                u"00000012: 43 63  C c"_s,
                                                u" typed note"_s,
                                                u"00000030: 46 66  F f"_s,
                                                u""_s,
                                                u"3 bytes changed, 2 locations"_s};
    return lines.join(joinedLines ? QChar(QChar::LineSeparator) : QChar(u'\n'));
}

QString Hex(int value)
{
    return QString::number(value, 16).toUpper().rightJustified(8, u'0');
}

// Where the line of the report starting with start begins.
int LineStart(const QString& text, const QString& start)
{
    return int(text.indexOf(start));
}

} // namespace

class ReportPositionTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void labelOfTheCaretsLine_data();
    void labelOfTheCaretsLine();
    void lineForALabel();
    void bytesOnALine();
};

void ReportPositionTest::labelOfTheCaretsLine_data()
{
    QTest::addColumn<bool>("byLines");
    QTest::addColumn<QString>("line"); // the caret is one character into it
    QTest::addColumn<qint64>("label"); // -1: none
    QTest::newRow("Normal body line") << false << u"00000012: 43"_s << qint64(0x12);
    QTest::newRow("Normal after a typed line") << false << u"00000030:"_s << qint64(0x30);
    QTest::newRow("Normal typed line") << false << u" typed note"_s << qint64(-1);
    QTest::newRow("header") << false << u"File 1:"_s << qint64(-1);
    QTest::newRow("summary") << true << u"3 bytes changed"_s << qint64(-1);
    QTest::newRow("By lines label") << true << u"00000001:"_s << qint64(1);
    QTest::newRow("By lines file 2's row") << true << u"          62 63"_s << qint64(1);
    QTest::newRow("By lines last row under it") << true << u"           b  c"_s << qint64(1);
    QTest::newRow("By lines row after a typed line") << true << u"          66"_s << qint64(0x20);
    QTest::newRow("typed line between rows") << true << u"typed note"_s << qint64(-1);
}

void ReportPositionTest::labelOfTheCaretsLine()
{
    QFETCH(bool, byLines);
    QFETCH(QString, line);
    QFETCH(qint64, label);
    for (const bool joined : {false, true}) {
        const QString text = Report(byLines, joined);
        QTextDocument document(text);
        const auto found = bVarious::LabelAt(document, LineStart(text, line) + 1, byLines);
        QCOMPARE(found.has_value() ? qint64(*found) : -1, label);
    }
}

void ReportPositionTest::lineForALabel()
{
    for (const bool joined : {false, true}) {
        const QString text = Report(false, joined);
        QTextDocument document(text);
        QCOMPARE(bVarious::LineAtOrBefore(document, 0x10), std::nullopt);
        QCOMPARE(bVarious::LineAtOrBefore(document, 0x12)->position,
                 LineStart(text, u"00000012"_s));
        QCOMPARE(bVarious::LineAtOrBefore(document, 0x2F)->label, 0x12u);
        QCOMPARE(bVarious::LineAtOrBefore(document, 0x30)->position,
                 LineStart(text, u"00000030"_s));
        QCOMPARE(bVarious::LineAtOrBefore(document, 0xFFFFFFFFF)->label, 0x30u);
    }
    // Many paragraphs: the halving passes over those without a label.
    QString many;
    for (int i = 0; i < 5000; ++i)
        many += (i % 3 == 0 ? u"note\n"_s : u""_s) + Hex(i * 2) + u": 00 01\n"_s;
    QTextDocument document(many);
    for (const int label : {0, 1, 2, 3333, 9998, 20000})
        QCOMPARE(bVarious::LineAtOrBefore(document, std::uint64_t(label))->label,
                 std::uint64_t(std::min(label, 9998) / 2 * 2));
}

void ReportPositionTest::bytesOnALine()
{
    QCOMPARE(bVarious::LineByteCount(u"00000010: 41 42 43"), 3);
    QCOMPARE(bVarious::LineByteCount(u"0000001A: 42 62  B b"), 2);
    QCOMPARE(bVarious::LineByteCount(u"100000000: 41"), 1);
    QCOMPARE(bVarious::LineByteCount(u"typed"), 0);
    QCOMPARE(bVarious::RemovedCount(u"05A1C000: 256 bytes only in file 1, at 05A1C000-05A1C0FF "
                                    u"(shift now -0xAB)"),
             256u);
    QCOMPARE(bVarious::RemovedCount(u"0266604F: 85 bytes only in file 2, at 0266604F-026660A3"),
             0u);
    QCOMPARE(bVarious::RemovedCount(u"00000010: 41 42 43"), 0u);
}

QTEST_GUILESS_MAIN(ReportPositionTest)
#include "reportposition_test.moc"
