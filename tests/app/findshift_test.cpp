// "Find Shift" in the window: the pair it finds goes into the offset fields with a word in the
// status bar; anything else leaves the fields as they were and says why.

#include "fakedialogs.h"
#include "isolatedstore.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "windowcontrols.h"
#include "windowtest.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Lines "from" to "to", each different, so every shift is clear.
QByteArray NumberedLines(int from, int to)
{
    QByteArray lines;
    for (int i = from; i <= to; ++i)
        lines += QByteArray::number(i) + '\n';
    return lines;
}

} // namespace

class FindShiftInWindowTest : public WindowTest
{
    Q_OBJECT

  private Q_SLOTS:
    void answersFromTheFields_data();
    void answersFromTheFields();
    void stoppingOrClosingDuringTheSearchLeavesTheFields();

  private:
    QString MakeFile(const QString& name, const QByteArray& bytes, qint64 sparseBefore = 0);
    // Fills the frame and chooses the command by its shortcut, with the focus in a file field.
    void FindFrom(const QString& file1, const QString& file2, const QString& offset);
};

QString FindShiftInWindowTest::MakeFile(const QString& name, const QByteArray& bytes,
                                        qint64 sparseBefore)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(sparseBefore) ||
        !file.seek(sparseBefore) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return path;
}

void FindShiftInWindowTest::FindFrom(const QString& file1, const QString& file2,
                                     const QString& offset)
{
    TypeInto(Control<QLineEdit>(*m_window, "txtFILE1"), m_dir->filePath(file1));
    TypeInto(Control<QLineEdit>(*m_window, "txtFILE2"), m_dir->filePath(file2));
    TypeInto(Control<QLineEdit>(*m_window, "txtOFS1"), offset);
    TypeInto(Control<QLineEdit>(*m_window, "txtOFS2"), offset);
    QTest::keyClick(Control<QLineEdit>(*m_window, "txtFILE1"), Qt::Key_K, Qt::ControlModifier);
}

void FindShiftInWindowTest::answersFromTheFields_data()
{
    QTest::addColumn<QString>("file2");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("fields"); // both offset fields afterwards
    QTest::addColumn<QString>("text");   // the message box's, or the status text when none
    QTest::addColumn<int>("icon");

    const int info = QMessageBox::Information, none = QMessageBox::NoIcon;
    QTest::newRow("found") << u"b.txt"_qs << u"0"_qs << u"A8 AA"_qs
                           << u"File 2 is shifted by +0x2 from 0xA8: equal for 0x144 bytes. "
                              "Press Compare."_qs
                           << none;
    QTest::newRow("checks as for Compare")
        << u"none.txt"_qs << u"0"_qs << u"0 0"_qs << u"File 2 doesn't exist!"_qs
        << int(QMessageBox::Critical);
    QTest::newRow("equal files")
        << u"a.txt"_qs << u"0"_qs << u"0 0"_qs
        << u"The files do not differ from the start offsets up to 0x1EC in file 1 and 0x1EC in "
           "file 2, where the shorter range ends: there is nothing to line up."_qs
        << info;
    QTest::newRow("only replaced bytes")
        << u"c.txt"_qs << u"0"_qs << u"0 0"_qs
        << u"The files first differ at 0x0 in file 1 and 0x0 in file 2; no shift of up to "
           "0x100000 bytes either way makes them equal again for 0x20 bytes."_qs
        << info;
    QTest::newRow("pair past eight digits")
        << u"far.txt"_qs << u"FFFFFFFF"_qs << u"FFFFFFFF FFFFFFFF"_qs
        << u"File 2 is shifted by +0x2 from 0x1000000A8: equal for 0x144 bytes. The files line "
           "up again at 0x1000000A8 in file 1 and 0x1000000AA in file 2, which the offset "
           "fields cannot take: they hold at most 8 hex digits."_qs
        << info;
}

void FindShiftInWindowTest::answersFromTheFields()
{
    QFETCH(QString, file2);
    QFETCH(QString, offset);
    QFETCH(QString, fields);
    QFETCH(QString, text);
    QFETCH(int, icon);
    const QByteArray lines = NumberedLines(1, 150); // 0x1EC bytes; line 60 starts at 0xA8
    const QByteArray inserted = NumberedLines(1, 59) + "!!" + NumberedLines(60, 150);
    MakeFile(u"a.txt"_qs, lines, offset == u"0"_qs ? 0 : 0x100000000);
    MakeFile(u"b.txt"_qs, inserted);
    MakeFile(u"c.txt"_qs, QByteArray(lines).replace('1', '7'));
    MakeFile(u"far.txt"_qs, inserted, 0x100000000);

    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"an earlier report\n"_qs);
    ModalAnswerer answerer({kOk});
    FindFrom(u"a.txt"_qs, file2, offset);
    QCOMPARE(Control<QLineEdit>(w, "txtOFS1")->text() + u' ' +
                 Control<QLineEdit>(w, "txtOFS2")->text(),
             fields);
    QCOMPARE(Pane(w)->toPlainText(), u"an earlier report\n"_qs);
    if (icon == QMessageBox::NoIcon) {
        QCOMPARE(answerer.SeenBoxes().size(), 0);
        QCOMPARE(StatusPanel(w)->text(), text);
        // Compare from the pair: nothing differs any more.
        QTest::mouseClick(Control<QPushButton>(w, "cmdRUN"), Qt::LeftButton);
        QVERIFY(Pane(w)->toPlainText().endsWith(u"0 bytes changed, 0 locations\n"_qs));
        return;
    }
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].text, text);
    QCOMPARE(int(answerer.SeenBoxes()[0].icon), icon);
}

void FindShiftInWindowTest::stoppingOrClosingDuringTheSearchLeavesTheFields()
{
    const QByteArray lines = NumberedLines(1, 20000);
    MakeFile(u"a.txt"_qs, lines);
    MakeFile(u"b.txt"_qs, "!" + lines);
    // Each runs once the search lets the window handle its events.
    QTimer::singleShot(0, m_window.get(), [this] {
        QCOMPARE(Control<QPushButton>(*m_window, "cmdRUN")->text(), u"&Stop"_qs);
        Control<QPushButton>(*m_window, "cmdRUN")->click();
    });
    FindFrom(u"a.txt"_qs, u"b.txt"_qs, u"0"_qs);
    QCOMPARE(StatusPanel(*m_window)->text(), u"Find Shift stopped."_qs);
    QCOMPARE(Control<QPushButton>(*m_window, "cmdRUN")->text(), u"&Compare"_qs);
    QCOMPARE(Control<QLineEdit>(*m_window, "txtOFS2")->text(), u"0"_qs);

    QTimer::singleShot(0, m_window.get(), [this] { m_window->close(); });
    FindFrom(u"a.txt"_qs, u"b.txt"_qs, u"0"_qs);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(Control<QLineEdit>(*m_window, "txtOFS2")->text(), u"0"_qs);
}

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<FindShiftInWindowTest>(argc, argv);
}
#include "findshift_test.moc"
