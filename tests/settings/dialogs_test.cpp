#include "dialogs.h"
#include "fakedialogs.h"
#include "isolatedstore.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QScopeGuard>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

std::optional<QString> LastDir()
{
    const QVariant value =
        QSettings(StoreFile(), QSettings::IniFormat).value(u"Settings/LastDir"_s);
    return value.isValid() ? std::optional(value.toString()) : std::nullopt;
}

void PlantLastDir(const QString& folder)
{
    QSettings(StoreFile(), QSettings::IniFormat).setValue(u"Settings/LastDir"_s, folder);
}

QString OpenFile(QWidget* parent = nullptr)
{
    return bDialog::OpenFileDialog(parent, u"Open File:"_s, QString(), u"*.*"_s, QString(),
                                   QString());
}

QString SaveFile(const QString& fileName = QString())
{
    return bDialog::SaveFileDialog(nullptr, u"Save as:"_s, u"Text Files  (*.txt)"_s, u"*.txt"_s,
                                   fileName, QString());
}

QFont MakeFont(const QString& family, double points, bool bold)
{
    QFont chosen(family);
    chosen.setPointSizeF(points);
    chosen.setBold(bold);
    return chosen;
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

    FakeDialogs fake;

  private Q_SLOTS:
    void initTestCase() { bDialog::SetPlatformDialogs(&fake); }
    void cleanupTestCase() { bDialog::SetPlatformDialogs(nullptr); }

    void init()
    {
        QFile::remove(StoreFile());
        fake = FakeDialogs();
    }

    void openAsksForAnExistingFileFromTheCurrentFolder()
    {
        QWidget window;
        fake.fileAnswer = u"/data/a.bin"_s;
        QCOMPARE(OpenFile(&window), u"/data/a.bin"_s);
        QCOMPARE(fake.parent, &window);
        QCOMPARE(fake.fileRequest.title, u"Open File:"_s);
        QCOMPARE(fake.fileRequest.acceptMode, QFileDialog::AcceptOpen);
        QCOMPARE(fake.fileRequest.fileMode, QFileDialog::ExistingFile);
        // "*.*" would hide files without an extension outside Windows.
        QCOMPARE(fake.fileRequest.nameFilter, u"All Files (*)"_s);
        QCOMPARE(fake.fileRequest.directory, QDir::currentPath());
        QCOMPARE(fake.fileRequest.fileName, QString());
    }

    void saveConfirmsOverwriteAndShowsItsFilterUnchanged()
    {
        fake.fileAnswer = u"/reports/r.txt"_s;
        QCOMPARE(SaveFile(u"old.txt"_s), u"/reports/r.txt"_s);
        QCOMPARE(fake.fileRequest.title, u"Save as:"_s);
        QCOMPARE(fake.fileRequest.acceptMode, QFileDialog::AcceptSave);
        QCOMPARE(fake.fileRequest.fileMode, QFileDialog::AnyFile);
        QVERIFY(!fake.fileRequest.options.testFlag(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(fake.fileRequest.nameFilter, u"Text Files  (*.txt)"_s);
        QCOMPARE(fake.fileRequest.fileName, u"old.txt"_s);
    }

    void filterWithoutItsPatternGetsIt()
    {
        fake.fileAnswer = QString();
        bDialog::OpenFileDialog(nullptr, u"t"_s, u"Dumps"_s, u"*.bin"_s, QString(), QString());
        QCOMPARE(fake.fileRequest.nameFilter, u"Dumps (*.bin)"_s);
    }

    void chosenFolderIsRemembered_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("folder");
        QTest::newRow("in a folder") << u"/data/a.bin"_s << u"/data/"_s;
        QTest::newRow("in the root") << u"/a.bin"_s << u"/"_s;
        QTest::newRow("no folder") << u"a.bin"_s << QString();
        QTest::newRow("nothing chosen") << QString() << QString();
    }

    void chosenFolderIsRemembered()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, folder);
        fake.fileAnswer = chosen;
        QCOMPARE(OpenFile(), chosen);
        QCOMPARE(LastDir(), std::optional(folder));
        // The next dialog starts there, even in an empty folder text (the key exists).
        OpenFile();
        QCOMPARE(fake.fileRequest.directory, folder);
    }

    void openAndSaveShareTheFolder()
    {
        fake.fileAnswer = u"/reports/r.txt"_s;
        SaveFile();
        fake.fileAnswer = u"/data/b.bin"_s;
        OpenFile();
        QCOMPARE(fake.fileRequest.directory, u"/reports/"_s);
        SaveFile();
        QCOMPARE(fake.fileRequest.directory, u"/data/"_s);
    }

    void givenFolderIsUsedUnchanged()
    {
        PlantLastDir(u"/remembered/"_s);
        fake.fileAnswer = u"/x/y.bin"_s;
        bDialog::OpenFileDialog(nullptr, u"t"_s, QString(), u"*.*"_s, QString(), u"/given"_s);
        QCOMPARE(fake.fileRequest.directory, u"/given"_s);
    }

    void cancelLeavesTheFolderAlone()
    {
        PlantLastDir(u"/keep/"_s);
        fake.fileAnswer = std::nullopt;
        QCOMPARE(OpenFile(), QString());
        QCOMPARE(SaveFile(u"r.txt"_s), QString());
        QCOMPARE(LastDir(), std::optional(u"/keep/"_s));
    }

    void choiceSurvivesAStoreThatCannotBeWritten()
    {
        QVERIFY(QDir().mkpath(StoreFile()));
        fake.fileAnswer = u"/data/a.bin"_s;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"settings could not be written"_s));
        QCOMPARE(OpenFile(), u"/data/a.bin"_s);
        QVERIFY(QDir().rmdir(StoreFile()));
    }

    void fontSizeRoundsHalvesToEven_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("size");
        QTest::newRow("10.5") << 10.5 << 10;
        QTest::newRow("11.5") << 11.5 << 12;
        QTest::newRow("9.75") << 9.75 << 10;
        QTest::newRow("12.25") << 12.25 << 12;
        QTest::newRow("0.5") << 0.5 << 0; // rounds to nothing: refused
        QTest::newRow("40000") << 40000.0 << 0;
    }

    void fontSizeRoundsHalvesToEven()
    {
        QFETCH(double, points);
        QFETCH(int, size);
        fake.fontAnswer = MakeFont(u"DejaVu Sans Mono"_s, points, true);
        bDialog::FontChoice choice{u"Liberation Mono"_s, 9, false};
        const bool chosen = bDialog::FontDialog(nullptr, choice);
        QCOMPARE(chosen, size != 0);
        if (chosen) {
            QCOMPARE(choice.Name, u"DejaVu Sans Mono"_s);
            QCOMPARE(choice.Size, size);
            QVERIFY(choice.Bold);
        } else {
            // A refused size leaves the record as the caller gave it.
            QCOMPARE(choice.Name, u"Liberation Mono"_s);
            QCOMPARE(choice.Size, 9);
            QVERIFY(!choice.Bold);
        }
    }

    void fontDialogIsPresetAndOffersNoEffects()
    {
        QWidget window;
        fake.fontAnswer = std::nullopt;
        bDialog::FontChoice choice{u"Liberation Mono"_s, 11, true};
        QVERIFY(!bDialog::FontDialog(&window, choice));
        QCOMPARE(fake.parent, &window);
        QCOMPARE(fake.initialFont.family(), u"Liberation Mono"_s);
        QCOMPARE(fake.initialFont.pointSize(), 11);
        QVERIFY(fake.initialFont.bold());
        QCOMPARE(fake.fontOptions, QFontDialog::FontDialogOptions(QFontDialog::MonospacedFonts));
        QCOMPARE(choice.Size, 11);
    }

    // Qt's own dialog on every fixed-pitch face of the system, regular and (where the face has
    // it) bold: it opens on that face and weight, upright, and OK gives them back.
    void qtFontDialogOpensUprightOnEveryFixedFace()
    {
        bDialog::SetPlatformDialogs(nullptr);
        const auto restore = qScopeGuard([this] { bDialog::SetPlatformDialogs(&fake); });
        QFont shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&shown] {
            if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
                shown = dialog->currentFont();
                dialog->accept();
            }
        });
        answer.start(5);
        int faces = 0;
        const QStringList families = QFontDatabase::families();
        for (const QString& family : families) {
            if (!QFontDatabase::isFixedPitch(family) || QFontDatabase::isPrivateFamily(family))
                continue;
            ++faces;
            for (const bool bold : {false, true}) {
                if (bold && !QFontDatabase::styles(family).contains(u"Bold"_s))
                    continue;
                bDialog::FontChoice choice{family, 10, bold};
                QVERIFY(bDialog::FontDialog(nullptr, choice));
                QCOMPARE(shown.family(), family);
                QCOMPARE(shown.bold(), bold);
                QVERIFY2(!shown.italic(), qPrintable(family + u" opened "_s + shown.styleName()));
                QCOMPARE(choice.Name, family);
                QCOMPARE(choice.Bold, bold);
            }
        }
        QVERIFY(faces > 0);
    }
};

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<DialogsTest>(argc, argv);
}

#include "dialogs_test.moc"
