#include "isolatedstore.h"
#include "mapstrip.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "testfiles.h"
#include "windowcontrols.h"
#include "windowdriver.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// File 2 holds 0xFF at these indexes from its offset, isolated so that each is a line of its
// own in both layouts, and zeros elsewhere, as file 1 does.
constexpr std::uint64_t kOffset1 = 0x20, kOffset2 = 0x10;
constexpr qsizetype kLength1 = 40000, kLength2 = 30000; // file 2's range is the shorter
constexpr std::uint64_t kRange = kLength2 - kOffset2;

std::vector<std::uint64_t> DifferingIndexes()
{
    std::vector<std::uint64_t> indexes;
    for (std::uint64_t k = 0; k < 300; ++k)
        indexes.push_back(50 + 97 * k);
    return indexes;
}

// The label of the first line wholly in the pane's view.
std::uint64_t TopLabel(ResultPane& pane)
{
    QTextCursor cursor = pane.cursorForPosition(QPoint(0, pane.fontMetrics().height() / 2));
    cursor.movePosition(QTextCursor::StartOfLine);
    cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    return cursor.selectedText().section(u':', 0, 0).toULongLong(nullptr, 16);
}

struct Tip
{
    std::uint64_t first = 0, last = 0;
    QString rest;
};

Tip TipAt(const MapStrip& map, int y)
{
    static const QRegularExpression shape(u"^Difference map: 0x([0-9A-F]+)-0x([0-9A-F]+): (.*)$"_s);
    const QRegularExpressionMatch match = shape.match(map.PartText(y));
    if (!match.hasMatch())
        qFatal("unexpected tooltip: %s", qPrintable(map.PartText(y)));
    return {match.captured(1).toULongLong(nullptr, 16), match.captured(2).toULongLong(nullptr, 16),
            match.captured(3)};
}

QAction* MapItem(fMAIN& window)
{
    const QList<QAction*> items = Control<QMenu>(window, "mnuSET")->actions();
    const auto top = std::find(items.begin(), items.end(), Control<QAction>(window, "mnuTOP"));
    return top + 1 < items.end() ? *(top + 1) : nullptr;
}

} // namespace

class DifferenceMapTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void clickLandsOnTheFirstLineAtOrAfterThePart_data();
    void clickLandsOnTheFirstLineAtOrAfterThePart();
    void clickAfterAnEditFindsTheNearestLabelledLine();
    void runStoppedAfter1000ChangesLeavesTheRestNeverCompared();
    void settingIsKeptAcrossARestart();
    void realignIsKeptAndMarkedOnTheMap();

  private:
    std::unique_ptr<fMAIN> compared(bool byLines);

    QTemporaryDir m_dir;
    QString m_path1, m_path2;
};

void DifferenceMapTest::initTestCase()
{
    QByteArray two(kLength2, '\0');
    for (const std::uint64_t i : DifferingIndexes())
        two[qsizetype(kOffset2 + i)] = char(0xFF);
    m_path1 = m_dir.filePath(u"one.bin"_s);
    m_path2 = m_dir.filePath(u"two.bin"_s);
    QVERIFY(WriteFile(m_path1, QByteArray(kLength1, '\0')) && WriteFile(m_path2, two));
}

std::unique_ptr<fMAIN> DifferenceMapTest::compared(bool byLines)
{
    auto window = OpenWindow();
    if (window)
        Compare(*window, {m_path1, m_path2, u"20"_s, u"10"_s, byLines});
    return window;
}

void DifferenceMapTest::clickLandsOnTheFirstLineAtOrAfterThePart_data()
{
    QTest::addColumn<bool>("byLines");
    QTest::newRow("Normal: file 1 positions") << false;
    QTest::newRow("By lines: indexes") << true;
}

void DifferenceMapTest::clickLandsOnTheFirstLineAtOrAfterThePart()
{
    QFETCH(bool, byLines);
    const auto window = compared(byLines);
    QVERIFY(window);
    auto* map = window->findChild<MapStrip*>();
    QVERIFY(map && map->isVisible());
    const std::uint64_t origin = byLines ? 0 : kOffset1;
    // After the run the pane shows the report's end, under the context view too, also when
    // the view is turned off and on again.
    const ResultPane& pane = *Pane(*window);
    QVERIFY(pane.textCursor().atEnd() && pane.viewport()->rect().contains(pane.cursorRect()));
    for (int toggle = 0; toggle < 2; ++toggle)
        Control<QAction>(*window, "mnuCONTEXT")->trigger();
    QVERIFY(pane.viewport()->rect().contains(pane.cursorRect()));

    // The strip spans the truncated range, as the lines are labelled.
    QCOMPARE(TipAt(*map, 0).first, origin);
    QCOMPARE(TipAt(*map, map->height() - 1).last, origin + kRange - 1);

    for (const int percent : {0, 10, 33, 50, 66}) {
        const int y = map->height() * percent / 100;
        const Tip tip = TipAt(*map, y);
        std::uint64_t count = 0, expected = UINT64_MAX;
        for (const std::uint64_t i : DifferingIndexes()) {
            count += origin + i >= tip.first && origin + i <= tip.last;
            if (origin + i >= tip.first)
                expected = std::min(expected, origin + i);
        }
        QCOMPARE(tip.rest,
                 QString::number(count) + (count == 1 ? u" byte differs"_s : u" bytes differ"_s));
        QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(MapStrip::kWidth / 2, y));
        QCOMPARE(TopLabel(*Pane(*window)), expected);
    }
}

void DifferenceMapTest::clickAfterAnEditFindsTheNearestLabelledLine()
{
    const auto window = compared(false);
    QVERIFY(window);
    auto* map = window->findChild<MapStrip*>();
    const QPoint at(MapStrip::kWidth / 2, map->height() / 3);
    QTest::mouseClick(map, Qt::LeftButton, {}, at);
    const std::uint64_t target = TopLabel(*Pane(*window));

    // The line it landed on goes; the next labelled line is the nearest now.
    QTextCursor line = Pane(*window)->textCursor();
    line.movePosition(QTextCursor::StartOfLine);
    line.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor);
    line.removeSelectedText();
    QTest::mouseClick(map, Qt::LeftButton, {}, at);
    QCOMPARE(TopLabel(*Pane(*window)), target + 97);
}

void DifferenceMapTest::runStoppedAfter1000ChangesLeavesTheRestNeverCompared()
{
    const QString ones = m_dir.filePath(u"ones.bin"_s);
    QVERIFY(WriteFile(ones, QByteArray(3000, '\1')));
    auto window = OpenWindow();
    QVERIFY(window);
    {
        ModalAnswerer answers({QMessageBox::No});
        Compare(*window, {m_path1, ones});
    }
    auto* map = window->findChild<MapStrip*>();
    QCOMPARE(TipAt(*map, 0).rest.endsWith(u" bytes differ"_s), true);
    QCOMPARE(TipAt(*map, map->height() - 1).rest, u"not compared"_s);
}

void DifferenceMapTest::settingIsKeptAcrossARestart()
{
    auto window = OpenWindow();
    QVERIFY(window);
    QAction* item = MapItem(*window);
    QVERIFY(item && item->text() == u"Difference Map"_s && item->isChecked());
    auto* map = window->findChild<MapStrip*>();
    const int fullWidth = Pane(*window)->width();
    QVERIFY(!map->isVisible()); // nothing before the first comparison

    Compare(*window, {m_path1, m_path2});
    QVERIFY(map->isVisible());
    QCOMPARE(Pane(*window)->width(), fullWidth - MapStrip::kWidth);
    QCOMPARE(map->geometry().left(), Pane(*window)->geometry().right() + 1);
    item->trigger();
    QVERIFY(!map->isVisible());
    QCOMPARE(Pane(*window)->width(), fullWidth);
    {
        ModalAnswerer answers({QMessageBox::No}); // the unsaved report
        QVERIFY(window->close());
    }

    // A new start with the store as the close left it.
    window = std::make_unique<fMAIN>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    item = MapItem(*window);
    QVERIFY(!item->isChecked());
    Compare(*window, {m_path1, m_path2});
    map = window->findChild<MapStrip*>();
    QVERIFY(!map->isVisible());
    item->trigger();
    QVERIFY(map->isVisible());
}

void DifferenceMapTest::realignIsKeptAndMarkedOnTheMap()
{
    // File 2 is file 1 with 100 bytes inserted halfway.
    QByteArray one(40000, '\0');
    for (qsizetype i = 0; i < one.size(); ++i)
        one[i] = char(i * 7 + i / 251);
    QByteArray two = one;
    two.insert(20000, QByteArray(100, 'x'));
    const QString path1 = m_dir.filePath(u"r1.bin"_s), path2 = m_dir.filePath(u"r2.bin"_s);
    QVERIFY(WriteFile(path1, one) && WriteFile(path2, two));

    auto window = OpenWindow();
    QVERIFY(window);
    auto* item = Control<QAction>(*window, "mnuREALIGN");
    QVERIFY(!item->isChecked());
    item->trigger();
    Compare(*window, {path1, path2});
    const QString report = Pane(*window)->toPlainText();
    QVERIFY2(report.contains(u"00004E20: 100 bytes only in file 2"_s), qPrintable(report));
    auto* map = window->findChild<MapStrip*>();
    int marked = 0;
    for (int y = 0; y < map->height(); ++y)
        marked += TipAt(*map, y).rest.endsWith(u", lined up again 1 time"_s) ? 1 : 0;
    QCOMPARE(marked, 1);
    {
        ModalAnswerer answers({QMessageBox::No}); // the unsaved report
        QVERIFY(window->close());
    }
    // A new start with the store as the close left it.
    window = std::make_unique<fMAIN>();
    QVERIFY(Control<QAction>(*window, "mnuREALIGN")->isChecked());
}

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<DifferenceMapTest>(argc, argv);
}
#include "differencemap_test.moc"
