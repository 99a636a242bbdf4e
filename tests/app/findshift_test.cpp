// "Find Shift" in the window: the pair it finds goes into the offset fields with a word in the
// status bar; anything else leaves the fields as they were and says why.

#include "boxanswerer.h"
#include "fakedialogs.h"
#include "fmain.h"
#include "isolatedstore.h"
#include "resultpane.h"
#include "windowdriver.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr auto Ok = QMessageBox::Ok;

// Lines "1" to "count", each different, so every shift is clear.
QByteArray NumberedLines(int from, int to)
{
    QByteArray lines;
    for (int i = from; i <= to; ++i)
        lines += QByteArray::number(i) + '\n';
    return lines;
}

} // namespace

class FindShiftTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void cleanup();

    void fillsTheFieldsWithTheFoundPair();
    void leavesTheFieldsWhenNothingIsFound_data();
    void leavesTheFieldsWhenNothingIsFound();
    void closingDuringTheSearchStopsItAndCloses();

  private:
    QString MakeFile(const QString& name, const QByteArray& bytes, qint64 sparseBefore = 0);
    void FindFrom(const QString& file1, const QString& file2, const QString& offset1,
                  const QString& offset2);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<fMAIN> m_window;
    FakeDialogs m_dialogs;
};

void FindShiftTest::init()
{
    bDialog::SetPlatformDialogs(&m_dialogs);
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_window = openWindow();
    QVERIFY(m_window);
}

void FindShiftTest::cleanup()
{
    m_window.reset();
    m_dir.reset();
    bDialog::SetPlatformDialogs(nullptr);
}

QString FindShiftTest::MakeFile(const QString& name, const QByteArray& bytes, qint64 sparseBefore)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(sparseBefore) ||
        !file.seek(sparseBefore) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return path;
}

// Fills the frame and chooses the command by its shortcut, with the focus in a file field.
void FindShiftTest::FindFrom(const QString& file1, const QString& file2, const QString& offset1,
                             const QString& offset2)
{
    fMAIN& w = *m_window;
    typeInto(w.txtFILE1, file1);
    typeInto(w.txtFILE2, file2);
    typeInto(w.txtOFS1, offset1);
    typeInto(w.txtOFS2, offset2);
    QTest::keyClick(w.txtFILE1, Qt::Key_K, Qt::ControlModifier);
}

void FindShiftTest::fillsTheFieldsWithTheFoundPair()
{
    fMAIN& w = *m_window;
    // The item follows "Find Next" in the Edit menu, which is the pane's popup menu too.
    const QList<QAction*> items = w.m2->actions();
    QCOMPARE(items.indexOf(w.mnuFINDSHIFT), items.indexOf(w.mnuFINDNXT) + 1);
    QCOMPARE(w.mnuFINDSHIFT->text(), u"Find Shift"_qs);
    QCOMPARE(w.mnuFINDSHIFT->shortcut(), QKeySequence(u"Ctrl+K"_qs));

    const QByteArray before = NumberedLines(1, 1000); // 0xF35 bytes
    const QString a = MakeFile(u"a.txt"_qs, before + NumberedLines(1001, 3000));
    const QString b =
        MakeFile(u"b.txt"_qs, before + "sixteen bytes..\n" + NumberedLines(1001, 3000));
    w.tOut->setPlainText(u"an earlier report\n"_qs);
    w.ResultChanged = false;
    BoxAnswerer none({});
    FindFrom(a, b, u"0"_qs, u"0"_qs);
    QCOMPARE(none.seen.size(), 0);
    QCOMPARE(w.txtOFS1->text(), u"F35"_qs);
    QCOMPARE(w.txtOFS2->text(), u"F45"_qs);
    QCOMPARE(w.SBPanel->text(),
             u"File 2 is shifted by +0x10 from 0xF35: equal for 0x2710 bytes. Press Compare."_qs);
    QCOMPARE(w.tOut->toPlainText(), u"an earlier report\n"_qs);
    QVERIFY(!w.ResultChanged);

    // Compare from the pair: nothing differs any more.
    QTest::mouseClick(w.cmdRUN, Qt::LeftButton);
    QVERIFY(w.tOut->toPlainText().endsWith(u"0 bytes changed, 0 locations\n"_qs));
}

void FindShiftTest::leavesTheFieldsWhenNothingIsFound_data()
{
    QTest::addColumn<QString>("file1");
    QTest::addColumn<QString>("file2");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");

    const auto info = int(QMessageBox::Information);
    QTest::newRow("checks as for Compare")
        << u"none.txt"_qs << u"b.txt"_qs << u"x"_qs << u"File 1 doesn't exist!"_qs
        << int(QMessageBox::Critical);
    QTest::newRow("offset checked too")
        << u"a.txt"_qs << u"b.txt"_qs << u"1 "_qs << u"Offset 1 isn't HEX number !"_qs
        << int(QMessageBox::Critical);
    QTest::newRow("equal files") << u"a.txt"_qs << u"a.txt"_qs << u"0"_qs
                                 << u"The files do not differ from the start offsets up to 0x1EC "
                                    "in file 1 and 0x1EC in file 2, where the shorter range ends: "
                                    "there is nothing to line up."_qs
                                 << info;
    QTest::newRow("only replaced bytes")
        << u"a.txt"_qs << u"c.txt"_qs << u"0"_qs
        << u"The files first differ at 0x0 in file 1 and 0x0 in file 2; no shift of up to "
           "0x100000 bytes either way makes them equal again for 0x20 bytes."_qs
        << info;
    QTest::newRow("pair past eight digits")
        << u"far1.txt"_qs << u"far2.txt"_qs << u"FFFFFFFF"_qs
        << u"File 2 is shifted by +0x1 from 0x1000001EC: equal for 0x1EC bytes. The files line "
           "up again at 0x1000001EC in file 1 and 0x1000001ED in file 2, which the offset "
           "fields cannot take: they hold at most 8 hex digits."_qs
        << info;
}

void FindShiftTest::leavesTheFieldsWhenNothingIsFound()
{
    QFETCH(QString, file1);
    QFETCH(QString, file2);
    QFETCH(QString, offset);
    QFETCH(QString, message);
    QFETCH(int, icon);
    const QByteArray lines = NumberedLines(1, 150);
    MakeFile(u"a.txt"_qs, lines);
    MakeFile(u"b.txt"_qs, lines + "more");
    MakeFile(u"c.txt"_qs, QByteArray(lines).replace('1', '7'));
    MakeFile(u"far1.txt"_qs, lines + lines, 0x100000000);
    MakeFile(u"far2.txt"_qs, lines + "!" + lines, 0x100000000);

    fMAIN& w = *m_window;
    BoxAnswerer answerer({Ok});
    FindFrom(m_dir->filePath(file1), m_dir->filePath(file2), offset, offset);
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen[0].text, message);
    QCOMPARE(int(answerer.seen[0].icon), icon);
    QCOMPARE(w.txtOFS1->text(), offset);
    QCOMPARE(w.txtOFS2->text(), offset);
}

void FindShiftTest::closingDuringTheSearchStopsItAndCloses()
{
    fMAIN& w = *m_window;
    const QByteArray lines = NumberedLines(1, 20000);
    const QString a = MakeFile(u"a.txt"_qs, lines);
    const QString b = MakeFile(u"b.txt"_qs, "!" + lines);
    // Runs once the search lets the window handle its events.
    QTimer::singleShot(0, &w, [&w] { w.close(); });
    FindFrom(a, b, u"0"_qs, u"0"_qs);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.txtOFS2->text(), u"0"_qs);
}

int main(int argc, char** argv)
{
    return runWithIsolatedStore<FindShiftTest>(argc, argv);
}
#include "findshift_test.moc"
