#include "fakedialogs.h"
#include "isolatedstore.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "testfiles.h"
#include "windowcontrols.h"
#include "windowtest.h"

#include <QAction>
#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

struct Selection
{
    int start, end;
    bool operator==(const Selection&) const = default;
};

Selection SelectionOf(fMAIN& w)
{
    return {Pane(w)->textCursor().selectionStart(), Pane(w)->textCursor().selectionEnd()};
}

void Select(fMAIN& w, int start, int end)
{
    QTextCursor cursor = Pane(w)->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    Pane(w)->setTextCursor(cursor);
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

namespace QTest {
template <> char* toString(const Selection& s)
{
    return qstrdup((QByteArray::number(s.start) + ".." + QByteArray::number(s.end)).constData());
}
} // namespace QTest

class DocumentTest : public WindowTest
{
    Q_OBJECT

  private Q_SLOTS:
    void firstSaveAsksForTheFile();
    void saveReplacesAnExistingFileWithoutAsking();
    void saveOffersTheNameOfADeletedFile();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void closingAsksOnlyWithUnsavedChanges();
    void oddNamesAreShownEscaped();
    void savePromptAnswers_data();
    void savePromptAnswers();
    void comparisonKeepsItsProgressInTheStatus();
    void saveDuringAComparisonWritesTheReportSoFar();
    void editingDuringAComparisonLeavesTheReportWhole();
    void closingDuringAComparisonStillAsks();
    void longSaveAndFindKeepTheWindowAliveAndTheReportWhole();

    void findAsksAndIgnoresLetterCase();
    void cancelledFindChangesNothing();
    void findNextWalksMatchesAndWraps();
    void findNextSearchesTheSelection();
    void searchesAComparedReportOverLineBreaks();
    void missShowsTheTextAndPutsTheCaretAtTheStart_data();
    void missShowsTheTextAndPutsTheCaretAtTheStart();

    void copyPutsPlainTextOnly();
    void cutAndPasteMoveTextAndMarkTheChange();
    void pasteWithoutClipboardText();
    void rightButtonOpensTheEditMenuAtThePointer();

  private:
    void Compare(const QString& file1, const QString& file2);
    void saveAs(const QString& target);
};

void DocumentTest::Compare(const QString& file1, const QString& file2)
{
    Control<QLineEdit>(*m_window, "txtFILE1")->setText(file1);
    Control<QLineEdit>(*m_window, "txtFILE2")->setText(file2);
    QTest::mouseClick(Control<QPushButton>(*m_window, "cmdRUN"), Qt::LeftButton);
}

void DocumentTest::saveAs(const QString& target)
{
    m_dialogs.fileAnswer = target;
    Control<QAction>(*m_window, "mnuSAVEAS")->trigger();
}

void DocumentTest::firstSaveAsksForTheFile()
{
    fMAIN& w = *m_window;
    Compare(MakeFile(*m_dir, u"a.bin"_s, "ABCDEFGH"), MakeFile(*m_dir, u"b.bin"_s, "AbcDEfGH"));
    const QString report = Pane(w)->toPlainText();
    QVERIFY(report.endsWith(u"\n3 bytes changed, 2 locations\n"_s));

    const QString target = Path(u"report.txt"_s);
    m_dialogs.fileAnswer = target;
    QTest::keyClick(Pane(w), Qt::Key_S, Qt::ControlModifier);

    QCOMPARE(m_dialogs.fileRequest.acceptMode, QFileDialog::AcceptSave);
    QCOMPARE(m_dialogs.fileRequest.title, u"Save as:"_s);
    QCOMPARE(m_dialogs.fileRequest.fileName, QString());
    QCOMPARE(m_dialogs.fileRequest.nameFilter, u"Text Files  (*.txt)"_s);
    QCOMPARE(m_dialogs.parent, &w);
    QCOMPARE(Contents(target), report.toUtf8().replace("\n", "\r\n"));
    QCOMPARE(w.ResultFile, target);
    QVERIFY(!w.ResultChanged);
    QCOMPARE(StatusPanel(w)->text(), target);

    // The first edit is shown once; later edits leave the status text alone.
    QTest::keyClicks(Pane(w), u"x"_s);
    QVERIFY(w.ResultChanged);
    QCOMPARE(StatusPanel(w)->text(), u"* "_s + target);
    StatusPanel(w)->setText(u"elsewhere"_s);
    QTest::keyClicks(Pane(w), u"y"_s);
    QCOMPARE(StatusPanel(w)->text(), u"elsewhere"_s);
}

void DocumentTest::saveReplacesAnExistingFileWithoutAsking()
{
    fMAIN& w = *m_window;
    const QString target = Path(u"report.txt"_s);
    QTest::keyClicks(Pane(w), u"one"_s);
    saveAs(target);
    QTest::keyClicks(Pane(w), u" two"_s);

    m_dialogs.fileRequest = {};
    Control<QAction>(w, "mnuSAVE")->trigger();
    QCOMPARE(m_dialogs.fileRequest.title, QString()); // no dialog
    QCOMPARE(Contents(target), QByteArray("one two"));
    QVERIFY(!w.ResultChanged);
    QCOMPARE(StatusPanel(w)->text(), target);

    // An empty pane gives an empty file.
    Pane(w)->clear();
    Control<QAction>(w, "mnuSAVE")->trigger();
    QCOMPARE(Contents(target), QByteArray());
}

void DocumentTest::saveOffersTheNameOfADeletedFile()
{
    fMAIN& w = *m_window;
    const QString target = Path(u"report.txt"_s);
    QTest::keyClicks(Pane(w), u"one"_s);
    saveAs(target);
    QVERIFY(QFile::remove(target));
    QTest::keyClicks(Pane(w), u" two"_s);

    m_dialogs.fileAnswer.reset(); // the user cancels
    Control<QAction>(w, "mnuSAVE")->trigger();
    QCOMPARE(m_dialogs.fileRequest.fileName, u"report.txt"_s);
    QVERIFY(!QFile::exists(target));
    QVERIFY(w.ResultChanged);
    QCOMPARE(StatusPanel(w)->text(), u"* "_s + target);
    QCOMPARE(w.ResultFile, target);
}

void DocumentTest::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << u"missing/report.txt"_s << u"No such file"_s;
    QTest::newRow("a folder") << u"folder"_s << u"directory"_s;
    QTest::newRow("a FIFO") << u"fifo"_s << u"not a regular file"_s;
}

void DocumentTest::failedSaveChangesNothing()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QVERIFY(QDir(m_dir->path()).mkdir(u"folder"_s));
    QCOMPARE(mkfifo(QFile::encodeName(Path(u"fifo"_s)).constData(), 0600), 0);
    fMAIN& w = *m_window;
    const QString saved = Path(u"report.txt"_s);
    QTest::keyClicks(Pane(w), u"saved"_s);
    saveAs(saved);
    QTest::keyClicks(Pane(w), u" unsaved"_s);

    ModalAnswerer answerer({kOk});
    saveAs(Path(target));
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Lumatra"_s);
    QVERIFY2(
        answerer.SeenBoxes()[0].text.startsWith(u"Cannot save the report to "_s + Path(target)),
        qPrintable(answerer.SeenBoxes()[0].text));
    QVERIFY2(answerer.SeenBoxes()[0].text.contains(reason, Qt::CaseInsensitive),
             qPrintable(answerer.SeenBoxes()[0].text));
    QVERIFY(w.ResultChanged);
    QCOMPARE(StatusPanel(w)->text(), u"* "_s + saved);
    QCOMPARE(w.ResultFile, Path(target)); // the chosen path stays, for the next save
    QCOMPARE(Pane(w)->toPlainText(), u"saved unsaved"_s);
    QCOMPARE(Contents(saved), QByteArray("saved"));
    QVERIFY(QFileInfo(Path(u"folder"_s)).isDir());
}

void DocumentTest::closingAsksOnlyWithUnsavedChanges()
{
    fMAIN& w = *m_window;
    {
        ModalAnswerer answerer;
        w.close(); // right after start
        QVERIFY(answerer.SeenBoxes().isEmpty());
        QVERIFY(!w.isVisible());
    }
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    Compare(MakeFile(*m_dir, u"a.bin"_s, "AB"), MakeFile(*m_dir, u"b.bin"_s, "AB"));
    saveAs(Path(u"report.txt"_s));
    {
        ModalAnswerer answerer;
        QTest::keyClick(Pane(w), Qt::Key_Escape); // right after a save
        QVERIFY(answerer.SeenBoxes().isEmpty());
        QVERIFY(!w.isVisible());
    }
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    Compare(Path(u"a.bin"_s), Path(u"b.bin"_s)); // equal files: still a new report
    {
        ModalAnswerer answerer({kCancel});
        w.close();
        QCOMPARE(answerer.SeenBoxes().size(), 1);
        QCOMPARE(answerer.SeenBoxes()[0].text,
                 u"Save changes to "_s + Path(u"report.txt"_s) + u" ?"_s);
    }
}

// A name that would break a message's line or steer a terminal is shown escaped, in the save
// failure, the status text and the save prompt alike.
void DocumentTest::oddNamesAreShownEscaped()
{
    fMAIN& w = *m_window;
    QTest::keyClicks(Pane(w), u"report"_s);
    {
        ModalAnswerer answerer({kOk});
        saveAs(Path(u"gone\n/x.txt"_s));
        QCOMPARE(answerer.SeenBoxes().size(), 1);
        QVERIFY2(answerer.SeenBoxes()[0].text.startsWith(u"Cannot save the report to "_s +
                                                         Path(u"gone\\n/x.txt:\n"_s)),
                 qPrintable(answerer.SeenBoxes()[0].text));
    }
    const QString shown = Path(u"odd\\r\\n\\x1B[2J.txt"_s);
    saveAs(Path(u"odd\r\n\x1B[2J.txt"_s));
    QCOMPARE(Contents(Path(u"odd\r\n\x1B[2J.txt"_s)), QByteArray("report"));
    QCOMPARE(StatusPanel(w)->text(), shown);
    QTest::keyClicks(Pane(w), u" edited"_s);
    QCOMPARE(StatusPanel(w)->text(), u"* "_s + shown);
    ModalAnswerer answerer({kCancel});
    w.close();
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].text, u"Save changes to "_s + shown + u" ?"_s);
}

void DocumentTest::savePromptAnswers_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<std::optional<QString>>("saveTo"); // the save dialog's answer
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("written");
    const std::optional<QString> none;
    QTest::newRow("Cancel") << kCancel << none << false << QByteArray();
    QTest::newRow("No") << kNo << none << true << QByteArray();
    QTest::newRow("Yes") << kYes << std::optional(u"report.txt"_s) << true << QByteArray("edit");
    QTest::newRow("Yes, save dialog cancelled") << kYes << none << true << QByteArray();
    QTest::newRow("Yes, write failed")
        << kYes << std::optional(u"missing/report.txt"_s) << false << QByteArray();
}

void DocumentTest::savePromptAnswers()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(std::optional<QString>, saveTo);
    QFETCH(bool, closes);
    QFETCH(QByteArray, written);
    fMAIN& w = *m_window;
    QTest::keyClicks(Pane(w), u"edit"_s);
    if (saveTo)
        m_dialogs.fileAnswer = Path(*saveTo);

    ModalAnswerer answerer({answer, kOk});
    w.close();
    QCOMPARE(answerer.SeenBoxes().size(), written.isEmpty() && saveTo ? 2 : 1);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Save As"_s);
    QCOMPARE(answerer.SeenBoxes()[0].text, u"Save changes to  ?"_s);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Question);
    QCOMPARE(answerer.SeenBoxes()[0].buttons, kYes | kNo | kCancel);
    QCOMPARE(w.isVisible(), !closes);
    // The settings are stored only when the window closes.
    QCOMPARE(StoredTexts().contains(u"PosX"_s), closes);
    if (saveTo)
        QCOMPARE(Contents(Path(*saveTo)), written.isEmpty() ? "<unreadable>" : written);
    if (!closes) {
        QCOMPARE(Pane(w)->toPlainText(), u"edit"_s);
        QVERIFY(w.ResultChanged);
    }
}

void DocumentTest::comparisonKeepsItsProgressInTheStatus()
{
    fMAIN& w = *m_window;
    const QString a = MakeFile(*m_dir, u"a.bin"_s, QByteArray(300000, 'a'));
    const QString b = MakeFile(*m_dir, u"b.bin"_s, QByteArray(300000, 'a').replace(1000, 3, "bbb"));
    QTest::keyClicks(Pane(w), u"old"_s);
    saveAs(Path(u"report.txt"_s));

    QStringList during;
    QTimer watch;
    connect(&watch, &QTimer::timeout, &w, [&] {
        if (w.IsComparing() && (during.isEmpty() || during.last() != StatusPanel(w)->text()))
            during << StatusPanel(w)->text();
    });
    watch.start(0);
    Compare(a, b);
    watch.stop();

    QVERIFY(!during.isEmpty());
    for (const QString& text : std::as_const(during))
        QVERIFY2(!text.startsWith(u"* "_s), qPrintable(during.join(u" | "_s)));
    QCOMPARE(StatusPanel(w)->text(), u"Done!"_s);
    QVERIFY(w.ResultChanged);
    QTest::keyClicks(Pane(w), u"x"_s); // already unsaved: the text stays
    QCOMPARE(StatusPanel(w)->text(), u"Done!"_s);
}

void DocumentTest::saveDuringAComparisonWritesTheReportSoFar()
{
    fMAIN& w = *m_window;
    const QString a = MakeFile(*m_dir, u"a.bin"_s, "ABCDEFGH");
    const QString b = MakeFile(*m_dir, u"b.bin"_s, "AbcDEfGH");
    const QString target = Path(u"report.txt"_s);
    m_dialogs.fileAnswer = target;
    bool savedDuringRun = false;
    QTimer::singleShot(0, &w, [&] {
        savedDuringRun = w.IsComparing();
        QTest::keyClick(Control<QLineEdit>(w, "txtFILE1"), Qt::Key_S, Qt::ControlModifier);
    });
    Compare(a, b);

    QVERIFY(savedDuringRun);
    const QByteArray part = Contents(target);
    const QByteArray whole = Pane(w)->toPlainText().toUtf8().replace("\n", "\r\n");
    QVERIFY(part.startsWith("File 1: "));
    QVERIFY2(whole.startsWith(part) && part.size() < whole.size(), part.constData());
    QVERIFY(w.ResultChanged); // the rest of the report is not saved
    QCOMPARE(StatusPanel(w)->text(), u"Done!"_s);
}

void DocumentTest::editingDuringAComparisonLeavesTheReportWhole()
{
    fMAIN& w = *m_window;
    const QString a = MakeFile(*m_dir, u"a.bin"_s, "ABCDEFGH");
    const QString b = MakeFile(*m_dir, u"b.bin"_s, "AbcDEfGH");
    Compare(a, b);
    const QString report = Pane(w)->toPlainText();

    QApplication::clipboard()->setText(u"JUNK"_s);
    w.FindText = u"File"_s;
    QTimer::singleShot(0, &w, [&] {
        QVERIFY(w.IsComparing());
        Control<QAction>(w, "mnuFINDNXT")->trigger();
        Control<QAction>(w, "mnuPASTE")->trigger();
        Control<QAction>(w, "mnuCUT")->trigger();
    });
    Compare(a, b);
    QCOMPARE(Pane(w)->toPlainText(), report);
}

void DocumentTest::closingDuringAComparisonStillAsks()
{
    fMAIN& w = *m_window;
    const QString a = MakeFile(*m_dir, u"a.bin"_s, QByteArray(4096, 'a'));
    const QString b = MakeFile(*m_dir, u"b.bin"_s, QByteArray(4096, 'a'));
    ModalAnswerer answerer({kCancel});
    QTimer::singleShot(
        0, &w, [&] { QTest::mouseClick(Control<QPushButton>(w, "cmdEXIT"), Qt::LeftButton); });
    Compare(a, b);
    // The stopped run's part of a report is unsaved: Cancel keeps it and the window.
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Save As"_s);
    QVERIFY(w.isVisible());
    QVERIFY(Pane(w)->toPlainText().startsWith(u"File 1: "_s));
    QVERIFY(Pane(w)->isEnabled());
}

// A report of several pieces: while the save and the search let the window handle its events,
// they show their progress, the report takes no edit, no comparison starts, and a close
// waits for the save to end.
void DocumentTest::longSaveAndFindKeepTheWindowAliveAndTheReportWhole()
{
    fMAIN& w = *m_window;
    QByteArray bytes(40000, 'a');
    const QString a = MakeFile(*m_dir, u"a.bin"_s, bytes);
    for (int i = 0; i < bytes.size(); i += 2)
        bytes[i] = 'b';
    const QString b = MakeFile(*m_dir, u"b.bin"_s, bytes);
    {
        ModalAnswerer yes({kYes});
        Compare(a, b);
    }
    const QString report = Pane(w)->toPlainText();
    QVERIFY(report.size() > 300000);

    QStringList statusDuring;
    const auto disturb = [&] {
        statusDuring << StatusPanel(w)->text();
        QTest::keyClicks(Pane(w), u"x"_s);
        Control<QAction>(w, "mnuPASTE")->trigger();
        Control<QAction>(w, "mnuCUT")->trigger();
        QTest::mouseClick(Control<QPushButton>(w, "cmdRUN"), Qt::LeftButton);
    };
    QApplication::clipboard()->setText(u"JUNK"_s);
    w.FindText = u"00009C3E: 61 62"_s; // a line near the end: 0x9C3E is 39998
    QTimer::singleShot(0, &w, disturb);
    Control<QAction>(w, "mnuFINDNXT")->trigger();
    QCOMPARE(Pane(w)->textCursor().selectedText(), u"00009C3E: 61 62"_s);

    const QString target = Path(u"report.txt"_s);
    QTimer::singleShot(0, &w, [&] {
        disturb();
        w.close();
        QVERIFY(w.isVisible());
    });
    saveAs(target);
    QVERIFY(w.isVisible());
    QCOMPARE(Contents(target), report.toUtf8().replace("\n", "\r\n"));
    QCOMPARE(Pane(w)->toPlainText(), report);
    QCOMPARE(statusDuring.size(), 2);
    QVERIFY2(statusDuring[0].startsWith(u"Searching ... "_s), qPrintable(statusDuring[0]));
    QVERIFY2(statusDuring[1].startsWith(u"Saving ... "_s), qPrintable(statusDuring[1]));
    QCOMPARE(StatusPanel(w)->text(), target);
    QTRY_VERIFY(!w.isVisible()); // the close asked for during the save
}

void DocumentTest::findAsksAndIgnoresLetterCase()
{
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"Alpha BETA gamma\nbeta\n"_s);
    w.FindText = u"earlier"_s;
    Control<QLineEdit>(w, "txtFILE1")->setFocus();
    ModalAnswerer answerer({}, {u"eta"_s});
    QTest::keyClick(Control<QLineEdit>(w, "txtFILE1"), Qt::Key_F, Qt::ControlModifier);

    QCOMPARE(answerer.SeenInputs().size(), 1);
    QCOMPARE(answerer.SeenInputs()[0].title, u"Lumatra"_s);
    QCOMPARE(answerer.SeenInputs()[0].prompt, u"Find what:"_s);
    QCOMPARE(answerer.SeenInputs()[0].initial, QString());
    QCOMPARE(w.FindText, u"eta"_s);
    QCOMPARE(SelectionOf(w), (Selection{7, 10}));
    QCOMPARE(w.focusWidget(), Pane(w));
}

void DocumentTest::cancelledFindChangesNothing()
{
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"text"_s);
    Control<QLineEdit>(w, "txtFILE1")->setFocus();
    {
        ModalAnswerer answerer({}, {std::nullopt});
        Control<QAction>(w, "mnuFIND")->trigger();
        QCOMPARE(answerer.SeenInputs().size(), 1);
    }
    {
        ModalAnswerer answerer({}, {QString()});
        Control<QAction>(w, "mnuFINDNXT")
            ->trigger(); // nothing selected, nothing searched yet: it asks too
        QCOMPARE(answerer.SeenInputs().size(), 1);
    }
    QVERIFY(w.FindText.isEmpty());
    QCOMPARE(SelectionOf(w), (Selection{0, 0}));
    QCOMPARE(w.focusWidget(), Control<QLineEdit>(w, "txtFILE1"));
}

void DocumentTest::findNextWalksMatchesAndWraps()
{
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"aXa axa AXA\n"_s);
    w.FindText = u"axa"_s;
    ModalAnswerer answerer;
    QList<Selection> walk;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(Pane(w), Qt::Key_F3);
        walk << SelectionOf(w);
    }
    // No overlap ("aXa axa" holds no match at 2), and back to the first without a message.
    QCOMPARE(walk, (QList<Selection>{{0, 3}, {4, 7}, {8, 11}, {0, 3}}));
    QVERIFY(answerer.SeenBoxes().isEmpty());

    // The only occurrence is found again after it.
    w.FindText = u"7 8"_s;
    Pane(w)->setPlainText(u"1 2 7 8 9"_s);
    Select(w, 4, 7);
    Control<QAction>(w, "mnuFINDNXT")->trigger();
    QCOMPARE(SelectionOf(w), (Selection{4, 7}));
    QVERIFY(answerer.SeenBoxes().isEmpty());
}

void DocumentTest::findNextSearchesTheSelection()
{
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"ab\ncd ab\ncd\n"_s);
    w.FindText = u"unrelated"_s;
    Select(w, 0, 5); // "ab\ncd" over a line break
    Control<QAction>(w, "mnuFINDNXT")->trigger();
    QCOMPARE(w.FindText, u"ab\ncd"_s);
    QCOMPARE(SelectionOf(w), (Selection{6, 11}));
}

// A report written by a comparison may hold its line breaks otherwise than typed text does.
void DocumentTest::searchesAComparedReportOverLineBreaks()
{
    fMAIN& w = *m_window;
    Compare(MakeFile(*m_dir, u"a.bin"_s, "ABCDEFGH"), MakeFile(*m_dir, u"b.bin"_s, "AbcDEfGH"));
    const QString report = Pane(w)->toPlainText();
    const int second = int(report.indexOf(u"00000002"_s));
    Select(w, second - 3, second + 8); // "62", the line break and the next offset
    w.FindText.clear();
    ModalAnswerer answerer;
    Control<QAction>(w, "mnuFINDNXT")->trigger();
    QCOMPARE(w.FindText, u"62\n00000002"_s);
    QCOMPARE(SelectionOf(w), (Selection{second - 3, second + 8})); // found again by wrapping
    QVERIFY(answerer.SeenBoxes().isEmpty());

    w.FindText = u"66\n\n3 BYTES"_s;
    Pane(w)->moveCursor(QTextCursor::Start);
    Control<QAction>(w, "mnuFINDNXT")->trigger();
    const int summary = int(report.indexOf(u"66\n\n3 bytes"_s));
    QCOMPARE(SelectionOf(w), (Selection{summary, summary + 11}));
}

void DocumentTest::missShowsTheTextAndPutsTheCaretAtTheStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("report") << u"00000001: 42 62\n"_s;
    QTest::newRow("empty pane") << QString();
}

void DocumentTest::missShowsTheTextAndPutsTheCaretAtTheStart()
{
    QFETCH(QString, text);
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(text);
    Pane(w)->moveCursor(QTextCursor::End);
    Control<QLineEdit>(w, "txtFILE1")->setFocus();
    ModalAnswerer answerer({kOk}, {u"<b>zz</b>"_s});
    Control<QAction>(w, "mnuFIND")->trigger();
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Not found :"_s);
    QCOMPARE(answerer.SeenBoxes()[0].text, u"<b>zz</b>"_s);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Information);
    QCOMPARE(answerer.SeenBoxes()[0].buttons, QMessageBox::StandardButtons(kOk));
    QCOMPARE(SelectionOf(w), (Selection{0, 0}));
    QCOMPARE(w.focusWidget(), Pane(w));
}

void DocumentTest::copyPutsPlainTextOnly()
{
    fMAIN& w = *m_window;
    QClipboard* clipboard = QApplication::clipboard();
    Pane(w)->setPlainText(u"line one\nline two\n"_s);
    w.ResultChanged = false;
    clipboard->setText(u"old"_s);
    Control<QAction>(w, "mnuCOPY")->trigger();
    QCOMPARE(clipboard->text(), QString()); // nothing selected

    // The focus and a selection elsewhere do not matter: the pane's selection is copied.
    Select(w, 5, 13);
    Control<QLineEdit>(w, "txtFILE1")->setText(u"field text"_s);
    Control<QLineEdit>(w, "txtFILE1")->selectAll();
    Control<QLineEdit>(w, "txtFILE1")->setFocus();
    Control<QAction>(w, "mnuCOPY")->trigger();
    QCOMPARE(clipboard->text(), u"one\nline"_s);
    QCOMPARE(clipboard->mimeData()->formats(), QStringList{u"text/plain"_s});
    QVERIFY(!w.ResultChanged);
}

void DocumentTest::cutAndPasteMoveTextAndMarkTheChange()
{
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"first\nsecond\nthird\n"_s);
    saveAs(Path(u"report.txt"_s));

    Select(w, 0, 6); // "first" with its line break
    Control<QLineEdit>(w, "txtFILE2")->setFocus();
    Control<QAction>(w, "mnuCUT")->trigger();
    QCOMPARE(Pane(w)->toPlainText(), u"second\nthird\n"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"first\n"_s);
    QVERIFY(w.ResultChanged);
    QCOMPARE(StatusPanel(w)->text(), u"* "_s + Path(u"report.txt"_s));

    Pane(w)->moveCursor(QTextCursor::End);
    Control<QAction>(w, "mnuPASTE")->trigger();
    QCOMPARE(Pane(w)->toPlainText(), u"second\nthird\nfirst\n"_s);

    // Several lines at once, in the middle of a line.
    QApplication::clipboard()->setText(u"A\r\nB\nC"_s);
    Select(w, 3, 3);
    Control<QAction>(w, "mnuPASTE")->trigger();
    QCOMPARE(Pane(w)->toPlainText(), u"secA\nB\nCond\nthird\nfirst\n"_s);
    QCOMPARE(SelectionOf(w), (Selection{8, 8}));

    // The pane's own keys stay available too.
    Select(w, 0, 3);
    QTest::keySequence(Pane(w), QKeySequence::Cut);
    QCOMPARE(Pane(w)->toPlainText(), u"A\nB\nCond\nthird\nfirst\n"_s);
}

void DocumentTest::pasteWithoutClipboardText()
{
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"keep this"_s);
    saveAs(Path(u"report.txt"_s));
    QApplication::clipboard()->clear();

    Control<QAction>(w, "mnuPASTE")->trigger(); // nothing selected: nothing changes
    QCOMPARE(Pane(w)->toPlainText(), u"keep this"_s);
    QVERIFY(!w.ResultChanged);
    Control<QAction>(w, "mnuCUT")->trigger();
    QCOMPARE(Pane(w)->toPlainText(), u"keep this"_s);
    QVERIFY(!w.ResultChanged);

    Select(w, 4, 9);
    Control<QAction>(w, "mnuPASTE")->trigger(); // the selection is replaced by nothing
    QCOMPARE(Pane(w)->toPlainText(), u"keep"_s);
    QVERIFY(w.ResultChanged);
}

void DocumentTest::rightButtonOpensTheEditMenuAtThePointer()
{
    fMAIN& w = *m_window;
    Pane(w)->setPlainText(u"text"_s);
    const QPoint local(40, 30);
    const QPoint pointer = Pane(w)->viewport()->mapToGlobal(local);
    QCursor::setPos(pointer);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        QTest::mouseClick(Pane(w)->viewport(), button, {}, local);
        QVERIFY(!Control<QMenu>(w, "m2")->isVisible());
    }
    QTest::mouseClick(Pane(w)->viewport(), Qt::RightButton, {}, local);
    QTRY_VERIFY(Control<QMenu>(w, "m2")->isVisible());
    QCOMPARE(Control<QMenu>(w, "m2")->pos(), pointer);
    QCOMPARE(Pane(w)->toPlainText(), u"text"_s);
    Control<QMenu>(w, "m2")->hide();
}

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<DocumentTest>(argc, argv);
}
#include "document_test.moc"
