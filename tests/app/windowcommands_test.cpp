#include "fakedialogs.h"
#include "isolatedstore.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "version.h"
#include "windowcontrols.h"
#include "windowtest.h"

#include <QAction>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void SetPaneFont(fMAIN& window, const QString& family, double points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    Pane(window)->ApplyFont(font);
}

} // namespace

class WindowCommandsTest : public WindowTest
{
    Q_OBJECT

  private Q_SLOTS:
    void fontCommandOpensAtWholePoints_data();
    void fontCommandOpensAtWholePoints();
    void fontCommandTakesFaceSizeAndBoldOnly();
    void cancelledFontDialogChangesNothing();
    void fontDialogOpensOnTheFaceThePaneShows_data();
    void fontDialogOpensOnTheFaceThePaneShows();
    void alwaysOnTopTwiceGivesAnOrdinaryWindow();
    void aboutShowsFiveLines();
    void fileButtonsFillTheirFields();
    void everyExitPathRunsTheCloseHandler_data();
    void everyExitPathRunsTheCloseHandler();
};

void WindowCommandsTest::fontCommandOpensAtWholePoints_data()
{
    QTest::addColumn<double>("paneSize");
    QTest::addColumn<int>("dialogSize");
    QTest::newRow("9.75") << 9.75 << 10;
    QTest::newRow("8.5, half to even below") << 8.5 << 8;
    QTest::newRow("9.5, half to even above") << 9.5 << 10;
    QTest::newRow("whole") << 11.0 << 11;
}

// Confirming the dialog without a change leaves the pane at the size the dialog opened with.
void WindowCommandsTest::fontCommandOpensAtWholePoints()
{
    QFETCH(double, paneSize);
    QFETCH(int, dialogSize);
    fMAIN& w = *m_window;
    SetPaneFont(w, u"Liberation Mono"_s, paneSize, true);
    m_dialogs.confirmShownFont = true;
    Control<QAction>(w, "mnuFONT")->trigger();
    QCOMPARE(m_dialogs.parent, &w);
    QCOMPARE(m_dialogs.initialFont.pointSize(), dialogSize);
    QCOMPARE(m_dialogs.initialFont.family(), u"Liberation Mono"_s);
    QVERIFY(m_dialogs.initialFont.bold());
    QCOMPARE(Pane(w)->font().pointSizeF(), double(dialogSize));
    QCOMPARE(Pane(w)->font().family(), u"Liberation Mono"_s);
    QVERIFY(Pane(w)->font().bold());
}

void WindowCommandsTest::fontCommandTakesFaceSizeAndBoldOnly()
{
    fMAIN& w = *m_window;
    SetPaneFont(w, u"Liberation Mono"_s, 9.75, true);
    Pane(w)->SetCharset(204);
    QFont chosen(u"DejaVu Sans Mono"_s);
    chosen.setPointSizeF(12.5); // comes back as 12, the even neighbour
    chosen.setItalic(true);
    m_dialogs.fontAnswer = chosen;
    Control<QAction>(w, "mnuFONT")->trigger();
    const QFont pane = Pane(w)->font();
    QCOMPARE(pane.family(), u"DejaVu Sans Mono"_s);
    QCOMPARE(pane.pointSizeF(), 12.0);
    QVERIFY(!pane.bold());
    QVERIFY(!pane.italic());
    QCOMPARE(Pane(w)->Charset(), 204);
}

void WindowCommandsTest::cancelledFontDialogChangesNothing()
{
    fMAIN& w = *m_window;
    SetPaneFont(w, u"Liberation Mono"_s, 9.75, true);
    const QFont before = Pane(w)->font();
    Control<QAction>(w, "mnuFONT")->trigger();
    QCOMPARE(m_dialogs.initialFont.pointSize(), 10); // the dialog was shown
    QCOMPARE(Pane(w)->font(), before);
    QCOMPARE(Pane(w)->font().pointSizeF(), 9.75);
}

void WindowCommandsTest::fontDialogOpensOnTheFaceThePaneShows_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<bool>("bold");
    QTest::newRow("design face") << u"Courier New"_s << false;
    QTest::newRow("design face, bold") << u"Courier New"_s << true;
    QTest::newRow("a face no system has") << u"Lumatra No Such Face"_s << false;
}

// Where the system substitutes a face for the one asked for, the dialog opens on the face, size
// and weight the pane really shows, and OK keeps showing them.
void WindowCommandsTest::fontDialogOpensOnTheFaceThePaneShows()
{
    QFETCH(QString, face);
    QFETCH(bool, bold);
    fMAIN& w = *m_window;
    SetPaneFont(w, face, 9.75, bold);
    const QFontInfo shown(Pane(w)->font());
    m_dialogs.confirmShownFont = true;
    Control<QAction>(w, "mnuFONT")->trigger();
    QCOMPARE(m_dialogs.initialFont.family(), shown.family());
    QCOMPARE(m_dialogs.initialFont.bold(), shown.bold());
    QVERIFY(!m_dialogs.initialFont.italic());
    QCOMPARE(QFontInfo(Pane(w)->font()).family(), shown.family());
}

void WindowCommandsTest::alwaysOnTopTwiceGivesAnOrdinaryWindow()
{
    fMAIN& w = *m_window;
    w.setGeometry(140, 110, 700, 450);
    QTRY_COMPARE(w.geometry(), QRect(140, 110, 700, 450));
    const QRect before = w.geometry();

    Control<QAction>(w, "mnuTOP")->trigger();
    QVERIFY(Control<QAction>(w, "mnuTOP")->isChecked());
    QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.geometry(), before);

    Control<QAction>(w, "mnuTOP")->trigger();
    QVERIFY(!Control<QAction>(w, "mnuTOP")->isChecked());
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(w.geometry(), before);
}

void WindowCommandsTest::aboutShowsFiveLines()
{
    ModalAnswerer answerer({QMessageBox::Ok});
    Control<QAction>(*m_window, "mnuABOUT")->trigger();
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    const SeenBox& box = answerer.SeenBoxes().constFirst();
    QCOMPARE(box.title, u"About"_s);
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(
        box.text.split(u"\r\n"_s),
        (QStringList{u"Lumatra v1.0 (26.07.2009)"_s, QString(), QStringLiteral(LUMATRA_CONTACT),
                     QStringLiteral(LUMATRA_WEB), QStringLiteral(LUMATRA_COPYRIGHT)}));
    QVERIFY(!box.text.endsWith(u'\n'));
    QVERIFY(m_window->isVisible());
}

void WindowCommandsTest::fileButtonsFillTheirFields()
{
    fMAIN& w = *m_window;
    m_dialogs.fileAnswer = u"/data/one.bin"_s;
    QTest::mouseClick(Control<QPushButton>(w, "cmdFILE1"), Qt::LeftButton);
    QCOMPARE(Control<QLineEdit>(w, "txtFILE1")->text(), u"/data/one.bin"_s);
    QCOMPARE(m_dialogs.parent, &w);
    QCOMPARE(m_dialogs.fileRequest.title, u"Open File:"_s);
    QCOMPARE(m_dialogs.fileRequest.acceptMode, QFileDialog::AcceptOpen);
    QCOMPARE(m_dialogs.fileRequest.nameFilter, u"All Files (*)"_s);

    m_dialogs.fileAnswer = u"/data/two.bin"_s;
    QTest::mouseClick(Control<QPushButton>(w, "cmdFILE2"), Qt::LeftButton);
    QCOMPARE(Control<QLineEdit>(w, "txtFILE2")->text(), u"/data/two.bin"_s);
    QCOMPARE(m_dialogs.fileRequest.directory, u"/data/"_s); // the folder chosen before
    QCOMPARE(Control<QLineEdit>(w, "txtFILE1")->text(), u"/data/one.bin"_s);

    // A cancelled dialog leaves the field as it was.
    m_dialogs.fileAnswer.reset();
    QTest::mouseClick(Control<QPushButton>(w, "cmdFILE1"), Qt::LeftButton);
    QCOMPARE(Control<QLineEdit>(w, "txtFILE1")->text(), u"/data/one.bin"_s);
}

void WindowCommandsTest::everyExitPathRunsTheCloseHandler_data()
{
    QTest::addColumn<std::function<void(fMAIN&)>>("leave");
    QTest::newRow("close box") << std::function<void(fMAIN&)>([](fMAIN& w) { w.close(); });
    QTest::newRow("Exit") << std::function<void(fMAIN&)>(
        [](fMAIN& w) { Control<QAction>(w, "mnuEXIT")->trigger(); });
    QTest::newRow("Ctrl+Q") << std::function<void(fMAIN&)>([](fMAIN& w) {
        QTest::keyClick(Control<QLineEdit>(w, "txtOFS1"), Qt::Key_Q, Qt::ControlModifier);
    });
    QTest::newRow("E&xit") << std::function<void(fMAIN&)>(
        [](fMAIN& w) { QTest::mouseClick(Control<QPushButton>(w, "cmdEXIT"), Qt::LeftButton); });
    QTest::newRow("Esc") << std::function<void(fMAIN&)>(
        [](fMAIN& w) { QTest::keyClick(Pane(w), Qt::Key_Escape); });
}

// Each path asks about the unsaved report first; Cancel keeps the window and writes nothing,
// and after No the settings step reaches the store.
void WindowCommandsTest::everyExitPathRunsTheCloseHandler()
{
    QFETCH(std::function<void(fMAIN&)>, leave);
    fMAIN& w = *m_window;
    SetPaneFont(w, u"Liberation Mono"_s, 11, false);
    QTest::keyClicks(Pane(w), u"edited"_s);
    QVERIFY(w.ResultChanged);
    {
        ModalAnswerer answerer({QMessageBox::Cancel});
        leave(w);
        QTRY_COMPARE(answerer.SeenBoxes().size(), 1);
        QCOMPARE(answerer.SeenBoxes()[0].text, u"Save changes to  ?"_s);
    }
    QVERIFY(w.isVisible());
    QVERIFY(StoredTexts().isEmpty());

    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    ModalAnswerer answerer({QMessageBox::No});
    leave(w);
    QTRY_VERIFY(!w.isVisible());
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    const QMap<QString, QString> stored = StoredTexts();
    QCOMPARE(stored.value(u"Font"_s), u"Liberation Mono"_s);
    QCOMPARE(stored.value(u"Size"_s), u"11"_s);
    QCOMPARE(stored.value(u"PosW"_s), QString::number(w.frameGeometry().width() * 15));
}

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<WindowCommandsTest>(argc, argv);
}

#include "windowcommands_test.moc"
