#include "fakedialogs.h"
#include "isolatedstore.h"
#include "modalanswerer.h"
#include "resultpane.h"
#include "windowcontrols.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What a first start shows, before any store exists.
struct Design
{
    QSize size;
    QFont font;
    int charset = 0;
};

std::unique_ptr<fMAIN> ShownWindow()
{
    auto window = std::make_unique<fMAIN>();
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        qFatal("the window did not come up");
    return window;
}

void WriteStoreFile(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(StoreFile()).path());
    QFile file(StoreFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the store file");
}

} // namespace

class SettingsInWindowTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void comesBackWhereItWasWithItsFont();
    void minimizedCloseKeepsTheEarlierPlace();
    void unusableStoreFallsBackKeyByKey_data();
    void unusableStoreFallsBackKeyByKey();
    void unwritableStoreIsToldAndTheWindowCloses_data();
    void unwritableStoreIsToldAndTheWindowCloses();

  private:
    FakeDialogs m_dialogs;
    Design m_design;
};

void SettingsInWindowTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    bDialog::SetPlatformDialogs(&m_dialogs);
    QFile::remove(StoreFile());
    const auto window = ShownWindow();
    m_design = {window->size(), Pane(*window)->font(), Pane(*window)->Charset()};
    QVERIFY(!m_design.font.bold()); // a first start is not bold, whatever the design says
}

void SettingsInWindowTest::init()
{
    QFile::remove(StoreFile());
}

void SettingsInWindowTest::cleanup()
{
    const QFileInfo store(StoreFile());
    if (store.isDir())
        QDir(store.filePath()).removeRecursively();
    const QFileInfo folder(store.path());
    if (folder.isFile())
        QFile::remove(folder.filePath());
}

// Start, move, resize, change the font, close; the next start is as the first one was left.
void SettingsInWindowTest::comesBackWhereItWasWithItsFont()
{
    QRect outer;
    {
        const auto first = ShownWindow();
        first->setGeometry(130, 95, 720, 470);
        QTRY_COMPARE(first->geometry(), QRect(130, 95, 720, 470));
        m_dialogs.fontAnswer = QFont(u"DejaVu Sans Mono"_s, 12, QFont::Bold);
        Control<QAction>(*first, "mnuFONT")->trigger();
        outer = first->frameGeometry();
        Control<QAction>(*first, "mnuEXIT")->trigger();
        QVERIFY(!first->isVisible());
    }
    const QMap<QString, QString> written = StoredTexts();

    const auto second = ShownWindow();
    QTRY_COMPARE(second->frameGeometry(), outer);
    QCOMPARE(Pane(*second)->font().family(), u"DejaVu Sans Mono"_s);
    QCOMPARE(Pane(*second)->font().pointSizeF(), 12.0);
    QVERIFY(Pane(*second)->font().bold());
    QCOMPARE(Pane(*second)->Charset(), m_design.charset);

    // Closing again with nothing done writes the same texts back.
    QTest::mouseClick(Control<QPushButton>(*second, "cmdEXIT"), Qt::LeftButton);
    QCOMPARE(StoredTexts(), written);
}

void SettingsInWindowTest::minimizedCloseKeepsTheEarlierPlace()
{
    {
        const auto first = ShownWindow();
        first->setGeometry(60, 70, 650, 420);
        QTRY_COMPARE(first->geometry(), QRect(60, 70, 650, 420));
        first->close();
    }
    const QMap<QString, QString> placed = StoredTexts();

    const auto second = ShownWindow();
    second->resize(800, 500);
    second->showMinimized();
    QTRY_VERIFY(second->isMinimized());
    m_dialogs.fontAnswer = QFont(u"Liberation Mono"_s, 14);
    Control<QAction>(*second, "mnuFONT")->trigger();
    second->close();
    const QMap<QString, QString> stored = StoredTexts();
    for (const QString& key : {u"PosX"_s, u"PosY"_s, u"PosH"_s, u"PosW"_s})
        QCOMPARE(stored.value(key), placed.value(key));
    QCOMPARE(stored.value(u"Size"_s), u"14"_s);
}

void SettingsInWindowTest::unusableStoreFallsBackKeyByKey_data()
{
    static const char kHead[] = "[Settings]\nPosX=\xfe\xfe\x01\nSize=\x00\x02\nBold=1\xff\n";
    QByteArray garbage(kHead, sizeof kHead - 1); // the zero byte inside included
    QRandomGenerator random(20090726);
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>(random.bounded(256)));

    QTest::addColumn<QByteArray>("storeFile");
    QTest::addColumn<bool>("keepsSize"); // the window keeps its designed size
    QTest::newRow("garbage bytes") << garbage << true;
    QTest::newRow("absurd numbers") << QByteArray("[Settings]\nPosX=-1e30\nPosY=nan\nPosH=0\n"
                                                  "PosW=-600\nSize=1e30\nCharset=-5\nBold=-1\n")
                                    << true;
    QTest::newRow("empty values")
        << QByteArray("[Settings]\nPosX=\nPosY=\nPosH=\nPosW=\nFont=\nSize=\nCharset=\nBold=\n")
        << true;
    QTest::newRow("missing keys, one good")
        << QByteArray("[Settings]\nPosW=10500\nUnknown=1\n") << false;
    QTest::newRow("another section only") << QByteArray("[Elsewhere]\nPosW=10500\n") << true;
}

// The window starts, keeps what it cannot read, and closes without a word.
void SettingsInWindowTest::unusableStoreFallsBackKeyByKey()
{
    QFETCH(QByteArray, storeFile);
    QFETCH(bool, keepsSize);
    WriteStoreFile(storeFile);

    ModalAnswerer answerer;
    const auto window = ShownWindow();
    QCOMPARE(window->windowTitle(), u"Lumatra v1.0"_s);
    QCOMPARE(Pane(*window)->font().family(), m_design.font.family());
    QCOMPARE(Pane(*window)->font().pointSizeF(), m_design.font.pointSizeF());
    QCOMPARE(Pane(*window)->Charset(), m_design.charset);
    QVERIFY(!Pane(*window)->font().bold());
    QCOMPARE(window->height(), m_design.size.height());
    if (keepsSize)
        QCOMPARE(window->width(), m_design.size.width());
    else
        QTRY_COMPARE(window->frameGeometry().width(), 700); // 10500 twips

    window->close();
    QVERIFY(!window->isVisible());
    QVERIFY(answerer.SeenBoxes().isEmpty());
    const QMap<QString, QString> stored = StoredTexts();
    QCOMPARE(stored.value(u"Size"_s), QString::number(m_design.font.pointSizeF()));
    QCOMPARE(stored.value(u"Bold"_s), u"0"_s);
}

void SettingsInWindowTest::unwritableStoreIsToldAndTheWindowCloses_data()
{
    QTest::addColumn<bool>("folderIsAFile");
    QTest::newRow("a folder where the file belongs") << false;
    QTest::newRow("a file where the folder belongs") << true;
}

// Even the superuser cannot write a file over a folder, or a folder under a file.
void SettingsInWindowTest::unwritableStoreIsToldAndTheWindowCloses()
{
    QFETCH(bool, folderIsAFile);
    const QFileInfo store(StoreFile());
    if (folderIsAFile) {
        QVERIFY(QDir(store.path()).removeRecursively());
        QFile blocker(store.path());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(store.filePath()));
    }

    const auto window = ShownWindow();
    QCOMPARE(window->size(), m_design.size);
    QCOMPARE(Pane(*window)->font().pointSizeF(), m_design.font.pointSizeF());

    ModalAnswerer answerer({QMessageBox::Ok});
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"settings could not be written"_s));
    Control<QAction>(*window, "mnuEXIT")->trigger();
    QVERIFY(!window->isVisible());
    QCOMPARE(answerer.SeenBoxes().size(), 1);
    QCOMPARE(answerer.SeenBoxes()[0].title, u"Lumatra"_s);
    QCOMPARE(answerer.SeenBoxes()[0].icon, QMessageBox::Warning);
    QCOMPARE(answerer.SeenBoxes()[0].text,
             u"The window position and the font could not be saved for the next start."_s);
}

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<SettingsInWindowTest>(argc, argv);
}

#include "settingsinwindow_test.moc"
