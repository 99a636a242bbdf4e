#include "fakedialogs.h"
#include "fmainparts.h"
#include "isolatedstore.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "testfiles.h"
#include "windowdriver.h"

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
    return {Parts(w).tOut->textCursor().selectionStart(),
            Parts(w).tOut->textCursor().selectionEnd()};
}

void Select(fMAIN& w, int start, int end)
{
    QTextCursor cursor = Parts(w).tOut->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    Parts(w).tOut->setTextCursor(cursor);
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

class DocumentTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void cleanup();

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
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    void Compare(const QString& file1, const QString& file2);
    void saveAs(const QString& target);

    FakeDialogs m_dialogs;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<fMAIN> m_window;
};

void DocumentTest::init()
{
    m_dialogs = FakeDialogs();
    bDialog::SetPlatformDialogs(&m_dialogs);
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_window = OpenWindow();
    QVERIFY(m_window);
}

void DocumentTest::cleanup()
{
    // Whatever a test left unsaved must not hold up the next one at a prompt.
    Parts(*m_window).ResultChanged = false;
    m_window.reset();
    m_dir.reset();
    bDialog::SetPlatformDialogs(nullptr);
}

void DocumentTest::Compare(const QString& file1, const QString& file2)
{
    Parts(*m_window).txtFILE1->setText(file1);
    Parts(*m_window).txtFILE2->setText(file2);
    QTest::mouseClick(Parts(*m_window).cmdRUN, Qt::LeftButton);
}

void DocumentTest::saveAs(const QString& target)
{
    m_dialogs.fileAnswer = target;
    Parts(*m_window).mnuSAVEAS->trigger();
}

void DocumentTest::firstSaveAsksForTheFile()
{
    fMAIN& w = *m_window;
    Compare(MakeFile(*m_dir, u"a.bin"_s, "ABCDEFGH"), MakeFile(*m_dir, u"b.bin"_s, "AbcDEfGH"));
    const QString report = Parts(w).tOut->toPlainText();
    QVERIFY(report.endsWith(u"\n3 bytes changed, 2 locations\n"_s));

    const QString target = Path(u"report.txt"_s);
    m_dialogs.fileAnswer = target;
    QTest::keyClick(Parts(w).tOut, Qt::Key_S, Qt::ControlModifier);

    QCOMPARE(m_dialogs.fileRequest.acceptMode, QFileDialog::AcceptSave);
    QCOMPARE(m_dialogs.fileRequest.title, u"Save as:"_s);
    QCOMPARE(m_dialogs.fileRequest.fileName, QString());
    QCOMPARE(m_dialogs.fileRequest.nameFilter, u"Text Files  (*.txt)"_s);
    QCOMPARE(m_dialogs.parent, &w);
    QCOMPARE(Contents(target), report.toUtf8().replace("\n", "\r\n"));
    QCOMPARE(Parts(w).ResultFile, target);
    QVERIFY(!Parts(w).ResultChanged);
    QCOMPARE(Parts(w).SBPanel->text(), target);

    // The first edit is shown once; later edits leave the status text alone.
    QTest::keyClicks(Parts(w).tOut, u"x"_s);
    QVERIFY(Parts(w).ResultChanged);
    QCOMPARE(Parts(w).SBPanel->text(), u"* "_s + target);
    Parts(w).SBPanel->setText(u"elsewhere"_s);
    QTest::keyClicks(Parts(w).tOut, u"y"_s);
    QCOMPARE(Parts(w).SBPanel->text(), u"elsewhere"_s);
}

void DocumentTest::saveReplacesAnExistingFileWithoutAsking()
{
    fMAIN& w = *m_window;
    const QString target = Path(u"report.txt"_s);
    QTest::keyClicks(Parts(w).tOut, u"one"_s);
    saveAs(target);
    QTest::keyClicks(Parts(w).tOut, u" two"_s);

    m_dialogs.fileRequest = {};
    Parts(w).mnuSAVE->trigger();
    QCOMPARE(m_dialogs.fileRequest.title, QString()); // no dialog
    QCOMPARE(Contents(target), QByteArray("one two"));
    QVERIFY(!Parts(w).ResultChanged);
    QCOMPARE(Parts(w).SBPanel->text(), target);

    // An empty pane gives an empty file.
    Parts(w).tOut->clear();
    Parts(w).mnuSAVE->trigger();
    QCOMPARE(Contents(target), QByteArray());
}

void DocumentTest::saveOffersTheNameOfADeletedFile()
{
    fMAIN& w = *m_window;
    const QString target = Path(u"report.txt"_s);
    QTest::keyClicks(Parts(w).tOut, u"one"_s);
    saveAs(target);
    QVERIFY(QFile::remove(target));
    QTest::keyClicks(Parts(w).tOut, u" two"_s);

    m_dialogs.fileAnswer.reset(); // the user cancels
    Parts(w).mnuSAVE->trigger();
    QCOMPARE(m_dialogs.fileRequest.fileName, u"report.txt"_s);
    QVERIFY(!QFile::exists(target));
    QVERIFY(Parts(w).ResultChanged);
    QCOMPARE(Parts(w).SBPanel->text(), u"* "_s + target);
    QCOMPARE(Parts(w).ResultFile, target);
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
    QTest::keyClicks(Parts(w).tOut, u"saved"_s);
    saveAs(saved);
    QTest::keyClicks(Parts(w).tOut, u" unsaved"_s);

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
    QVERIFY(Parts(w).ResultChanged);
    QCOMPARE(Parts(w).SBPanel->text(), u"* "_s + saved);
    QCOMPARE(Parts(w).ResultFile, Path(target)); // the chosen path stays, for the next save
    QCOMPARE(Parts(w).tOut->toPlainText(), u"saved unsaved"_s);
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
        QTest::keyClick(Parts(w).tOut, Qt::Key_Escape); // right after a save
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
    QTest::keyClicks(Parts(w).tOut, u"report"_s);
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
    QCOMPARE(Parts(w).SBPanel->text(), shown);
    QTest::keyClicks(Parts(w).tOut, u" edited"_s);
    QCOMPARE(Parts(w).SBPanel->text(), u"* "_s + shown);
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
    QTest::keyClicks(Parts(w).tOut, u"edit"_s);
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
        QCOMPARE(Parts(w).tOut->toPlainText(), u"edit"_s);
        QVERIFY(Parts(w).ResultChanged);
    }
}

void DocumentTest::comparisonKeepsItsProgressInTheStatus()
{
    fMAIN& w = *m_window;
    const QString a = MakeFile(*m_dir, u"a.bin"_s, QByteArray(300000, 'a'));
    const QString b = MakeFile(*m_dir, u"b.bin"_s, QByteArray(300000, 'a').replace(1000, 3, "bbb"));
    QTest::keyClicks(Parts(w).tOut, u"old"_s);
    saveAs(Path(u"report.txt"_s));

    QStringList during;
    QTimer watch;
    connect(&watch, &QTimer::timeout, &w, [&] {
        if (w.IsComparing() && (during.isEmpty() || during.last() != Parts(w).SBPanel->text()))
            during << Parts(w).SBPanel->text();
    });
    watch.start(0);
    Compare(a, b);
    watch.stop();

    QVERIFY(!during.isEmpty());
    for (const QString& text : std::as_const(during))
        QVERIFY2(!text.startsWith(u"* "_s), qPrintable(during.join(u" | "_s)));
    QCOMPARE(Parts(w).SBPanel->text(), u"Done!"_s);
    QVERIFY(Parts(w).ResultChanged);
    QTest::keyClicks(Parts(w).tOut, u"x"_s); // already unsaved: the text stays
    QCOMPARE(Parts(w).SBPanel->text(), u"Done!"_s);
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
        QTest::keyClick(Parts(w).txtFILE1, Qt::Key_S, Qt::ControlModifier);
    });
    Compare(a, b);

    QVERIFY(savedDuringRun);
    const QByteArray part = Contents(target);
    const QByteArray whole = Parts(w).tOut->toPlainText().toUtf8().replace("\n", "\r\n");
    QVERIFY(part.startsWith("File 1: "));
    QVERIFY2(whole.startsWith(part) && part.size() < whole.size(), part.constData());
    QVERIFY(Parts(w).ResultChanged); // the rest of the report is not saved
    QCOMPARE(Parts(w).SBPanel->text(), u"Done!"_s);
}

void DocumentTest::editingDuringAComparisonLeavesTheReportWhole()
{
    fMAIN& w = *m_window;
    const QString a = MakeFile(*m_dir, u"a.bin"_s, "ABCDEFGH");
    const QString b = MakeFile(*m_dir, u"b.bin"_s, "AbcDEfGH");
    Compare(a, b);
    const QString report = Parts(w).tOut->toPlainText();

    QApplication::clipboard()->setText(u"JUNK"_s);
    Parts(w).FindText = u"File"_s;
    QTimer::singleShot(0, &w, [&] {
        QVERIFY(w.IsComparing());
        Parts(w).mnuFINDNXT->trigger();
        Parts(w).mnuPASTE->trigger();
        Parts(w).mnuCUT->trigger();
    });
    Compare(a, b);
    QCOMPARE(Parts(w).tOut->toPlainText(), report);
}

void DocumentTest::closingDuringAComparisonStillAsks()
{
    fMAIN& w = *m_window;
    const QString a = MakeFile(*m_dir, u"a.bin"_s, QByteArray(4096, 'a'));
    const QString b = MakeFile(*m_dir, u"b.bin"_s, QByteArray(4096, 'a'));
    ModalAnswerer answerer({kCancel});
    QTimer::singleShot(0, &w, [&] { QTest::mouseClick(Parts(w).cmdEXIT, Qt::LeftButton); });
    Compare(a, b);
    // The stopped run's part of a report is unsaved: Cancel keeps it and the window.
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Save As"_s);
    QVERIFY(w.isVisible());
    QVERIFY(Parts(w).tOut->toPlainText().startsWith(u"File 1: "_s));
    QVERIFY(Parts(w).tOut->isEnabled());
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
    const QString report = Parts(w).tOut->toPlainText();
    QVERIFY(report.size() > 300000);

    QStringList statusDuring;
    const auto disturb = [&] {
        statusDuring << Parts(w).SBPanel->text();
        QTest::keyClicks(Parts(w).tOut, u"x"_s);
        Parts(w).mnuPASTE->trigger();
        Parts(w).mnuCUT->trigger();
        QTest::mouseClick(Parts(w).cmdRUN, Qt::LeftButton);
    };
    QApplication::clipboard()->setText(u"JUNK"_s);
    Parts(w).FindText = u"00009C3E: 61 62"_s; // a line near the end: 0x9C3E is 39998
    QTimer::singleShot(0, &w, disturb);
    Parts(w).mnuFINDNXT->trigger();
    QCOMPARE(Parts(w).tOut->textCursor().selectedText(), u"00009C3E: 61 62"_s);

    const QString target = Path(u"report.txt"_s);
    QTimer::singleShot(0, &w, [&] {
        disturb();
        w.close();
        QVERIFY(w.isVisible());
    });
    saveAs(target);
    QVERIFY(w.isVisible());
    QCOMPARE(Contents(target), report.toUtf8().replace("\n", "\r\n"));
    QCOMPARE(Parts(w).tOut->toPlainText(), report);
    QCOMPARE(statusDuring.size(), 2);
    QVERIFY2(statusDuring[0].startsWith(u"Searching ... "_s), qPrintable(statusDuring[0]));
    QVERIFY2(statusDuring[1].startsWith(u"Saving ... "_s), qPrintable(statusDuring[1]));
    QCOMPARE(Parts(w).SBPanel->text(), target);
    QTRY_VERIFY(!w.isVisible()); // the close asked for during the save
}

void DocumentTest::findAsksAndIgnoresLetterCase()
{
    fMAIN& w = *m_window;
    Parts(w).tOut->setPlainText(u"Alpha BETA gamma\nbeta\n"_s);
    Parts(w).FindText = u"earlier"_s;
    Parts(w).txtFILE1->setFocus();
    ModalAnswerer answerer({}, {u"eta"_s});
    QTest::keyClick(Parts(w).txtFILE1, Qt::Key_F, Qt::ControlModifier);

    QCOMPARE(answerer.SeenInputs().size(), 1);
    QCOMPARE(answerer.SeenInputs()[0].title, u"Lumatra"_s);
    QCOMPARE(answerer.SeenInputs()[0].prompt, u"Find what:"_s);
    QCOMPARE(answerer.SeenInputs()[0].initial, QString());
    QCOMPARE(Parts(w).FindText, u"eta"_s);
    QCOMPARE(SelectionOf(w), (Selection{7, 10}));
    QCOMPARE(w.focusWidget(), Parts(w).tOut);
}

void DocumentTest::cancelledFindChangesNothing()
{
    fMAIN& w = *m_window;
    Parts(w).tOut->setPlainText(u"text"_s);
    Parts(w).txtFILE1->setFocus();
    {
        ModalAnswerer answerer({}, {std::nullopt});
        Parts(w).mnuFIND->trigger();
        QCOMPARE(answerer.SeenInputs().size(), 1);
    }
    {
        ModalAnswerer answerer({}, {QString()});
        Parts(w).mnuFINDNXT->trigger(); // nothing selected, nothing searched yet: it asks too
        QCOMPARE(answerer.SeenInputs().size(), 1);
    }
    QVERIFY(Parts(w).FindText.isEmpty());
    QCOMPARE(SelectionOf(w), (Selection{0, 0}));
    QCOMPARE(w.focusWidget(), Parts(w).txtFILE1);
}

void DocumentTest::findNextWalksMatchesAndWraps()
{
    fMAIN& w = *m_window;
    Parts(w).tOut->setPlainText(u"aXa axa AXA\n"_s);
    Parts(w).FindText = u"axa"_s;
    ModalAnswerer answerer;
    QList<Selection> walk;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(Parts(w).tOut, Qt::Key_F3);
        walk << SelectionOf(w);
    }
    // No overlap ("aXa axa" holds no match at 2), and back to the first without a message.
    QCOMPARE(walk, (QList<Selection>{{0, 3}, {4, 7}, {8, 11}, {0, 3}}));
    QVERIFY(answerer.SeenBoxes().isEmpty());

    // The only occurrence is found again after it.
    Parts(w).FindText = u"7 8"_s;
    Parts(w).tOut->setPlainText(u"1 2 7 8 9"_s);
    Select(w, 4, 7);
    Parts(w).mnuFINDNXT->trigger();
    QCOMPARE(SelectionOf(w), (Selection{4, 7}));
    QVERIFY(answerer.SeenBoxes().isEmpty());
}

void DocumentTest::findNextSearchesTheSelection()
{
    fMAIN& w = *m_window;
    Parts(w).tOut->setPlainText(u"ab\ncd ab\ncd\n"_s);
    Parts(w).FindText = u"unrelated"_s;
    Select(w, 0, 5); // "ab\ncd" over a line break
    Parts(w).mnuFINDNXT->trigger();
    QCOMPARE(Parts(w).FindText, u"ab\ncd"_s);
    QCOMPARE(SelectionOf(w), (Selection{6, 11}));
}

// A report written by a comparison may hold its line breaks otherwise than typed text does.
void DocumentTest::searchesAComparedReportOverLineBreaks()
{
    fMAIN& w = *m_window;
    Compare(MakeFile(*m_dir, u"a.bin"_s, "ABCDEFGH"), MakeFile(*m_dir, u"b.bin"_s, "AbcDEfGH"));
    const QString report = Parts(w).tOut->toPlainText();
    const int second = int(report.indexOf(u"00000002"_s));
    Select(w, second - 3, second + 8); // "62", the line break and the next offset
    Parts(w).FindText.clear();
    ModalAnswerer answerer;
    Parts(w).mnuFINDNXT->trigger();
    QCOMPARE(Parts(w).FindText, u"62\n00000002"_s);
    QCOMPARE(SelectionOf(w), (Selection{second - 3, second + 8})); // found again by wrapping
    QVERIFY(answerer.SeenBoxes().isEmpty());

    Parts(w).FindText = u"66\n\n3 BYTES"_s;
    Parts(w).tOut->moveCursor(QTextCursor::Start);
    Parts(w).mnuFINDNXT->trigger();
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
    Parts(w).tOut->setPlainText(text);
    Parts(w).tOut->moveCursor(QTextCursor::End);
    Parts(w).txtFILE1->setFocus();
    ModalAnswerer answerer({kOk}, {u"<b>zz</b>"_s});
    Parts(w).mnuFIND->trigger();
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Not found :"_s);
    QCOMPARE(answerer.SeenBoxes()[0].text, u"<b>zz</b>"_s);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Information);
    QCOMPARE(answerer.SeenBoxes()[0].buttons, QMessageBox::StandardButtons(kOk));
    QCOMPARE(SelectionOf(w), (Selection{0, 0}));
    QCOMPARE(w.focusWidget(), Parts(w).tOut);
}

void DocumentTest::copyPutsPlainTextOnly()
{
    fMAIN& w = *m_window;
    QClipboard* clipboard = QApplication::clipboard();
    Parts(w).tOut->setPlainText(u"line one\nline two\n"_s);
    Parts(w).ResultChanged = false;
    clipboard->setText(u"old"_s);
    Parts(w).mnuCOPY->trigger();
    QCOMPARE(clipboard->text(), QString()); // nothing selected

    // The focus and a selection elsewhere do not matter: the pane's selection is copied.
    Select(w, 5, 13);
    Parts(w).txtFILE1->setText(u"field text"_s);
    Parts(w).txtFILE1->selectAll();
    Parts(w).txtFILE1->setFocus();
    Parts(w).mnuCOPY->trigger();
    QCOMPARE(clipboard->text(), u"one\nline"_s);
    QCOMPARE(clipboard->mimeData()->formats(), QStringList{u"text/plain"_s});
    QVERIFY(!Parts(w).ResultChanged);
}

void DocumentTest::cutAndPasteMoveTextAndMarkTheChange()
{
    fMAIN& w = *m_window;
    Parts(w).tOut->setPlainText(u"first\nsecond\nthird\n"_s);
    saveAs(Path(u"report.txt"_s));

    Select(w, 0, 6); // "first" with its line break
    Parts(w).txtFILE2->setFocus();
    Parts(w).mnuCUT->trigger();
    QCOMPARE(Parts(w).tOut->toPlainText(), u"second\nthird\n"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"first\n"_s);
    QVERIFY(Parts(w).ResultChanged);
    QCOMPARE(Parts(w).SBPanel->text(), u"* "_s + Path(u"report.txt"_s));

    Parts(w).tOut->moveCursor(QTextCursor::End);
    Parts(w).mnuPASTE->trigger();
    QCOMPARE(Parts(w).tOut->toPlainText(), u"second\nthird\nfirst\n"_s);

    // Several lines at once, in the middle of a line.
    QApplication::clipboard()->setText(u"A\r\nB\nC"_s);
    Select(w, 3, 3);
    Parts(w).mnuPASTE->trigger();
    QCOMPARE(Parts(w).tOut->toPlainText(), u"secA\nB\nCond\nthird\nfirst\n"_s);
    QCOMPARE(SelectionOf(w), (Selection{8, 8}));

    // The pane's own keys stay available too.
    Select(w, 0, 3);
    QTest::keySequence(Parts(w).tOut, QKeySequence::Cut);
    QCOMPARE(Parts(w).tOut->toPlainText(), u"A\nB\nCond\nthird\nfirst\n"_s);
}

void DocumentTest::pasteWithoutClipboardText()
{
    fMAIN& w = *m_window;
    Parts(w).tOut->setPlainText(u"keep this"_s);
    saveAs(Path(u"report.txt"_s));
    QApplication::clipboard()->clear();

    Parts(w).mnuPASTE->trigger(); // nothing selected: nothing changes
    QCOMPARE(Parts(w).tOut->toPlainText(), u"keep this"_s);
    QVERIFY(!Parts(w).ResultChanged);
    Parts(w).mnuCUT->trigger();
    QCOMPARE(Parts(w).tOut->toPlainText(), u"keep this"_s);
    QVERIFY(!Parts(w).ResultChanged);

    Select(w, 4, 9);
    Parts(w).mnuPASTE->trigger(); // the selection is replaced by nothing
    QCOMPARE(Parts(w).tOut->toPlainText(), u"keep"_s);
    QVERIFY(Parts(w).ResultChanged);
}

void DocumentTest::rightButtonOpensTheEditMenuAtThePointer()
{
    fMAIN& w = *m_window;
    Parts(w).tOut->setPlainText(u"text"_s);
    const QPoint local(40, 30);
    const QPoint pointer = Parts(w).tOut->viewport()->mapToGlobal(local);
    QCursor::setPos(pointer);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        QTest::mouseClick(Parts(w).tOut->viewport(), button, {}, local);
        QVERIFY(!Parts(w).m2->isVisible());
    }
    QTest::mouseClick(Parts(w).tOut->viewport(), Qt::RightButton, {}, local);
    QTRY_VERIFY(Parts(w).m2->isVisible());
    QCOMPARE(Parts(w).m2->pos(), pointer);
    QCOMPARE(Parts(w).tOut->toPlainText(), u"text"_s);
    Parts(w).m2->hide();
}

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<DocumentTest>(argc, argv);
}
#include "document_test.moc"
