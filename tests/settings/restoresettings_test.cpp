#include "isolatedstore.h"
#include "restoresettings.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScreen>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

const QStringList kAllKeys{u"PosX"_s, u"PosY"_s, u"PosH"_s,    u"PosW"_s,
                           u"Font"_s, u"Size"_s, u"Charset"_s, u"Bold"_s};

void PlantValid()
{
    Plant(u"PosX"_s, u"1500"_s);
    Plant(u"PosY"_s, u"3000"_s);
    Plant(u"PosH"_s, u"6000"_s);
    Plant(u"PosW"_s, u"9000"_s);
    Plant(u"Font"_s, u"DejaVu Sans Mono"_s);
    Plant(u"Size"_s, u"12.5"_s);
    Plant(u"Charset"_s, u"204"_s);
    Plant(u"Bold"_s, u"1"_s);
}

// The main window as the program builds it: the pane in its design font and character set.
struct Window
{
    QMainWindow window;
    QPlainTextEdit* pane = new QPlainTextEdit;
    int charset = 238;

    Window()
    {
        window.setCentralWidget(pane);
        QFont design(u"Courier New"_s);
        design.setPointSizeF(9.75);
        design.setBold(true);
        pane->setFont(design);
        window.resize(614, 384);
    }

    void Restore(bool& resultChanged)
    {
        const bVarious::PaneFont restored =
            bVarious::RestoreSettings(window, *pane, charset, resultChanged);
        pane->setFont(restored.font);
        charset = restored.charset;
    }

    bool Store() const { return bVarious::StoreSettings(window, {pane->font(), charset}); }
};

} // namespace

class RestoreSettingsTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void init()
    {
        QFile::remove(StoreFile());
        QLocale::setDefault(QLocale::c());
    }

    void roundTripOfEveryKey()
    {
        QRect outer;
        {
            Window first;
            first.window.move(40, 60);
            first.window.resize(500, 300);
            QFont font(u"Liberation Mono"_s);
            font.setPointSizeF(9.75);
            first.pane->setFont(font);
            first.charset = 204;
            first.window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first.window));
            outer = first.window.frameGeometry();
            QVERIFY(first.Store());
        }
        const QMap<QString, QString> written = StoredTexts();
        const QMap<QString, QString> expected{{u"PosX"_s, QString::number(outer.x() * 15)},
                                              {u"PosY"_s, QString::number(outer.y() * 15)},
                                              {u"PosH"_s, QString::number(outer.height() * 15)},
                                              {u"PosW"_s, QString::number(outer.width() * 15)},
                                              {u"Font"_s, u"Liberation Mono"_s},
                                              {u"Size"_s, u"9.75"_s},
                                              {u"Charset"_s, u"204"_s},
                                              {u"Bold"_s, u"0"_s}};
        QCOMPARE(written, expected);

        Window second;
        bool resultChanged = true;
        second.Restore(resultChanged);
        QVERIFY(!resultChanged);
        QCOMPARE(second.window.windowTitle(), u"Lumatra v1.0"_s);
        QCOMPARE(second.pane->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(second.pane->font().family(), u"Liberation Mono"_s);
        QCOMPARE(second.pane->font().pointSizeF(), 9.75);
        QVERIFY(!second.pane->font().bold());
        QCOMPARE(second.charset, 204);
        second.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second.window));
        QCOMPARE(second.window.frameGeometry(), outer);

        // A start and a close with nothing done in between write back the same texts.
        QVERIFY(second.Store());
        QCOMPARE(StoredTexts(), written);
    }

    void firstRunKeepsTheDesignValuesButBold()
    {
        Window w;
        const QRect designGeometry = w.window.geometry();
        bool resultChanged = true;
        w.Restore(resultChanged);
        QVERIFY(!resultChanged);
        QCOMPARE(w.window.geometry(), designGeometry);
        // The window manager still places a window that has no stored position.
        QVERIFY(!w.window.testAttribute(Qt::WA_Moved));
        QCOMPARE(w.pane->font().family(), u"Courier New"_s);
        QCOMPARE(w.pane->font().pointSizeF(), 9.75);
        QVERIFY(!w.pane->font().bold());
        QCOMPARE(w.charset, 238);
        QCOMPARE(w.window.windowTitle(), u"Lumatra v1.0"_s);

        QVERIFY(w.Store());
        QStringList keys = StoredTexts().keys();
        keys.sort();
        QStringList expected = kAllKeys;
        expected.sort();
        QCOMPARE(keys, expected);
    }

    void boldOnlyForTheExactTextOne_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bold");
        QTest::newRow("1") << u"1"_s << true;
        QTest::newRow("0") << u"0"_s << false;
        QTest::newRow("true") << u"true"_s << false;
        QTest::newRow("-1") << u"-1"_s << false;
        QTest::newRow("blank 1") << u" 1"_s << false;
        QTest::newRow("empty") << QString() << false;
    }

    void boldOnlyForTheExactTextOne()
    {
        QFETCH(QString, text);
        QFETCH(bool, bold);
        Plant(u"Bold"_s, text);
        Window w;
        w.pane->setFont(QFont(u"Liberation Mono"_s, 10, bold ? QFont::Normal : QFont::Bold));
        bool resultChanged = true;
        w.Restore(resultChanged);
        QCOMPARE(w.pane->font().bold(), bold);
        QVERIFY(w.Store());
        QCOMPARE(StoredTexts().value(u"Bold"_s), bold ? u"1"_s : u"0"_s);
    }

    void minimizedCloseWritesOnlyTheFont()
    {
        PlantValid();
        Window w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.window.showMinimized();
        QVERIFY(w.window.isMinimized());
        w.pane->setFont(QFont(u"Liberation Mono"_s, 14));
        w.charset = 0;
        QVERIFY(w.Store());
        const QMap<QString, QString> expected{{u"PosX"_s, u"1500"_s},
                                              {u"PosY"_s, u"3000"_s},
                                              {u"PosH"_s, u"6000"_s},
                                              {u"PosW"_s, u"9000"_s},
                                              {u"Font"_s, u"Liberation Mono"_s},
                                              {u"Size"_s, u"14"_s},
                                              {u"Charset"_s, u"0"_s},
                                              {u"Bold"_s, u"0"_s}};
        QCOMPARE(StoredTexts(), expected);
    }

    void unusableValueKeepsOnlyThatSetting_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("left not a number") << u"PosX"_s << u"abc"_s;
        QTest::newRow("left NaN") << u"PosX"_s << u"nan"_s;
        QTest::newRow("left 1e30") << u"PosX"_s << u"1e30"_s;
        QTest::newRow("left empty") << u"PosX"_s << QString();
        QTest::newRow("top minus infinity") << u"PosY"_s << u"-inf"_s;
        QTest::newRow("top thousands separator") << u"PosY"_s << u"3,000"_s;
        QTest::newRow("height zero") << u"PosH"_s << u"0"_s;
        QTest::newRow("height negative") << u"PosH"_s << u"-6000"_s;
        QTest::newRow("width 1e30") << u"PosW"_s << u"1e30"_s;
        QTest::newRow("width with unit") << u"PosW"_s << u"9000 twips"_s;
        QTest::newRow("font empty") << u"Font"_s << QString();
        QTest::newRow("font blank") << u"Font"_s << u"   "_s;
        QTest::newRow("size zero") << u"Size"_s << u"0"_s;
        QTest::newRow("size negative") << u"Size"_s << u"-12"_s;
        QTest::newRow("size a hundredth of a point") << u"Size"_s << u"0.01"_s;
        QTest::newRow("size just below one point") << u"Size"_s << u"0.99"_s;
        QTest::newRow("size out of range") << u"Size"_s << u"1e30"_s;
        QTest::newRow("size NaN") << u"Size"_s << u"NaN"_s;
        QTest::newRow("size a word") << u"Size"_s << u"twelve"_s;
        QTest::newRow("charset unknown") << u"Charset"_s << u"999"_s;
        QTest::newRow("charset negative") << u"Charset"_s << u"-1"_s;
        QTest::newRow("charset fraction") << u"Charset"_s << u"204.5"_s;
        QTest::newRow("charset not a number") << u"Charset"_s << u"cyrillic"_s;
    }

    void unusableValueKeepsOnlyThatSetting()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        PlantValid();
        Plant(key, text);
        Window w;
        w.window.setGeometry(20, 30, 614, 384);
        bool resultChanged = true;
        w.Restore(resultChanged);

        // What the valid texts give, with the current value where the text is unusable.
        const QRect current(20, 30, 614, 384);
        const QRect geometry = w.window.frameGeometry();
        QCOMPARE(geometry.x(), key == u"PosX"_s ? current.x() : 100);
        QCOMPARE(geometry.y(), key == u"PosY"_s ? current.y() : 200);
        QCOMPARE(geometry.height(), key == u"PosH"_s ? current.height() : 400);
        QCOMPARE(geometry.width(), key == u"PosW"_s ? current.width() : 600);
        const QFont font = w.pane->font();
        QCOMPARE(font.family(), key == u"Font"_s ? u"Courier New"_s : u"DejaVu Sans Mono"_s);
        QCOMPARE(font.pointSizeF(), key == u"Size"_s ? 9.75 : 12.5);
        QCOMPARE(w.charset, key == u"Charset"_s ? 238 : 204);
        QVERIFY(font.bold());
        QVERIFY(!resultChanged);
    }

    void geometryIsFittedToTheScreen_data()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint corner = area.topLeft();
        const int bottom = area.bottom() + 1;
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("32767 pixels square")
            << QRect(corner + QPoint(100, 200), QSize(32767, 32767)) << area;
        QTest::newRow("far up and left")
            << QRect(-30000, -30000, 600, 400) << QRect(corner, QSize(600, 400));
        QTest::newRow("below the screen")
            << QRect(area.x() - 100, 10000, 600, 400) << QRect(area.x(), bottom - 400, 600, 400);
        QTest::newRow("title bar above the top") << QRect(area.x() + 100, area.y() - 20, 600, 400)
                                                 << QRect(area.x() + 100, area.y(), 600, 400);
        QTest::newRow("partly off the bottom edge")
            << QRect(area.x() + 100, bottom - 100, 600, 400)
            << QRect(area.x() + 100, bottom - 100, 600, 400);
    }

    // The window comes up no larger than the screen area with its title bar on it, and the
    // next close stores what it came up with.
    void geometryIsFittedToTheScreen()
    {
        QFETCH(QRect, stored);
        QFETCH(QRect, fitted);
        const auto twips = [](int pixels) { return QString::number(pixels * 15); };
        Plant(u"PosX"_s, twips(stored.x()));
        Plant(u"PosY"_s, twips(stored.y()));
        Plant(u"PosH"_s, twips(stored.height()));
        Plant(u"PosW"_s, twips(stored.width()));

        Window w;
        bool resultChanged = true;
        w.Restore(resultChanged);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QCOMPARE(w.window.frameGeometry(), fitted);
        QVERIFY(w.Store());
        QCOMPARE(StoredTexts().value(u"PosY"_s), twips(fitted.y()));
        QCOMPARE(StoredTexts().value(u"PosW"_s), twips(fitted.width()));
    }

    void numbersInTheUsersFormat()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        {
            Window w;
            w.pane->setFont(QFont(u"Liberation Mono"_s));
            QFont font = w.pane->font();
            font.setPointSizeF(10.5);
            w.pane->setFont(font);
            QVERIFY(w.Store());
        }
        QCOMPARE(StoredTexts().value(u"Size"_s), u"10,5"_s);
        Plant(u"PosW"_s, u"10005,5"_s);
        Window w;
        bool resultChanged = true;
        w.Restore(resultChanged);
        QCOMPARE(w.pane->font().pointSizeF(), 10.5);
        QCOMPARE(w.window.frameGeometry().width(), 667);
    }

    void garbageInTheStoreFileIsSurvived()
    {
        static const char kHead[] = "[Settings\nPosX=\xfe\xfe\x01\nSize=\x00\x02\nBold=1\xff\n";
        QByteArray garbage(kHead, sizeof kHead - 1); // the zero byte inside included
        QRandomGenerator random(4711);
        for (int i = 0; i < 4096; ++i)
            garbage.append(static_cast<char>(random.bounded(256)));
        QDir().mkpath(QFileInfo(StoreFile()).path());
        QFile file(StoreFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
        file.close();

        Window w;
        const QRect current = w.window.geometry();
        bool resultChanged = true;
        w.Restore(resultChanged);
        QCOMPARE(w.window.geometry(), current);
        QCOMPARE(w.pane->font().pointSizeF(), 9.75);
        QVERIFY(!w.pane->font().bold());
        QVERIFY(!resultChanged);

        // The next close leaves a store that reads back.
        QVERIFY(w.Store());
        QCOMPARE(StoredTexts().value(u"Size"_s), u"9.75"_s);
    }

    void unwritableStoreIsReportedAndSurvived()
    {
        // A folder where the file should be cannot be written, even by the superuser.
        QVERIFY(QDir().mkpath(StoreFile()));
        Window w;
        bool resultChanged = true;
        w.Restore(resultChanged);
        QCOMPARE(w.pane->font().pointSizeF(), 9.75);
        QVERIFY(!resultChanged);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"settings could not be written"_s));
        QVERIFY(!w.Store());
        QVERIFY(QDir().rmdir(StoreFile()));
    }
};

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<RestoreSettingsTest>(argc, argv);
}

#include "restoresettings_test.moc"
