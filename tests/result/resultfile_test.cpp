#include "panelines.h"
#include "resultfile.h"
#include "resultpane.h"
#include "resultwriter.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Files of the process may grow to at most limit bytes while it lives; a write past it fails
// with "File too large", as a full disk fails a write in the middle of the file.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lowered{limit, m_old.rlim_max};
        m_set = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool isSet() const { return m_set; }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

} // namespace

class ResultFileTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void init();

    void fileNamePart_data();
    void fileNamePart();
    void savedTextHasCrLfAndEveryCharacter_data();
    void savedTextHasCrLfAndEveryCharacter();
    void savesLinesStillGatheredByAFrozenPane();
    void savesAReportOfManyPieces_data();
    void savesAReportOfManyPieces();
    void replacesAnExistingFile();
    void failedWriteLeavesTheOldFile_data();
    void failedWriteLeavesTheOldFile();
    void writeFailingMidwayLeavesTheOldFile();
    void fileOfAReadOnlyPlaceStays();

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void ResultFileTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void ResultFileTest::fileNamePart_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("folders") << u"/home/ana/reports/diff 1.txt"_s << u"diff 1.txt"_s;
    QTest::newRow("bare name") << u"diff.txt"_s << u"diff.txt"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("ends with a separator") << u"/home/ana/"_s << QString();
    QTest::newRow("root file") << u"/diff"_s << u"diff"_s;
#ifdef Q_OS_WIN
    QTest::newRow("backslashes") << u"C:\\Reports\\diff.txt"_s << u"diff.txt"_s;
    QTest::newRow("both separators") << u"C:\\Reports/sub\\diff.txt"_s << u"diff.txt"_s;
    QTest::newRow("ends with a backslash") << u"C:\\Reports\\"_s << QString();
#else
    // Outside Windows a backslash is an ordinary letter of a file name.
    QTest::newRow("backslash in a name") << u"/tmp/a\\b.txt"_s << u"a\\b.txt"_s;
#endif
}

void ResultFileTest::fileNamePart()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(bFile::FileNamePart(path), name);
}

void ResultFileTest::savedTextHasCrLfAndEveryCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty pane") << QString() << QByteArray();
    QTest::newRow("report lines") << u"File 1: a\n\n3 bytes changed\n"_s
                                  << QByteArray("File 1: a\r\n\r\n3 bytes changed\r\n");
    QTest::newRow("no final line break") << u"a\nb"_s << QByteArray("a\r\nb");
    // Characters of the bytes' code page: a no-break space stays one, in UTF-8.
    QTest::newRow("code page letters")
        << u"41 A0 E8  A \u00A0 \u010D\n"_s << QByteArray("41 A0 E8  A \xC2\xA0 \xC4\x8D\r\n");
    QTest::newRow("line break typed with Shift") << u"a\u2028b\n"_s << QByteArray("a\r\nb\r\n");
    QTest::newRow("paragraph separators")
        << u"a\u2029\u2029b\u2029"_s << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("every separator, no final line break")
        << u"\u00A0x\u2028\u00A0\u2029\u2028y"_s << QByteArray("\xC2\xA0x\r\n\xC2\xA0\r\n\r\ny");
}

void ResultFileTest::savedTextHasCrLfAndEveryCharacter()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    ResultPane pane;
    pane.setPlainText(text);
    QCOMPARE(bFile::ReportFileText(pane), bytes);

    const QString path = m_dir->filePath(u"report.txt"_s);
    QCOMPARE(bFile::SaveFile(pane, path), std::nullopt);
    QCOMPARE(Contents(path), bytes);
}

void ResultFileTest::savesLinesStillGatheredByAFrozenPane()
{
    ResultPane pane;
    bool changed = false;
    bVarious::FreezeResult(pane, true, changed);
    bVarious::AppendLine(pane, u"first"_s, 0, 0);
    bVarious::AppendLine(pane, u"second"_s, 0, 0);

    const QString path = m_dir->filePath(u"report.txt"_s);
    QCOMPARE(bFile::SaveFile(pane, path), std::nullopt);
    QCOMPARE(Contents(path), QByteArray("first\r\nsecond\r\n"));
    // The comparison goes on after the save, below what was saved.
    bVarious::AppendLine(pane, u"third"_s, 0, 0);
    bVarious::FreezeResult(pane, false, changed);
    QCOMPARE(pane.toPlainText(), u"first\nsecond\nthird\n"_s);
}

void ResultFileTest::savesAReportOfManyPieces_data()
{
    QTest::addColumn<bool>("lastLineBreak");
    QTest::newRow("last line with its line break") << true;
    QTest::newRow("last line without") << false;
}

// A report as a comparison writes it, gathered into paragraphs of lines joined by line
// separators, several times longer than one piece of the save: every line arrives whole, in
// order, with CR LF, its no-break spaces and letters in UTF-8.
void ResultFileTest::savesAReportOfManyPieces()
{
    QFETCH(bool, lastLineBreak);
    ResultPane pane;
    bool changed = false;
    QByteArray expected;
    bVarious::FreezeResult(pane, true, changed);
    for (int i = 0; i < 60000; ++i) {
        const QString line =
            QString::number(i, 16).rightJustified(8, u'0') + u": 41 E8  A\u00A0\u010D"_s;
        bVarious::AppendLine(pane, line, 0, 0);
        expected += line.toUtf8() + "\r\n";
    }
    bVarious::AppendLine(pane, u"\r\n60000 bytes changed, 60000 locations"_s, 0, 0);
    expected += "\r\n60000 bytes changed, 60000 locations\r\n";
    bVarious::FreezeResult(pane, false, changed);
    if (!lastLineBreak) {
        QTextCursor cursor(pane.document());
        cursor.movePosition(QTextCursor::End);
        cursor.deletePreviousChar();
        expected.chop(2);
    }
    QVERIFY(expected.size() > 4 * bVarious::kPieceChars);

    const QString path = m_dir->filePath(u"report.txt"_s);
    qint64 lastDone = 0;
    int steps = 0;
    QCOMPARE(bFile::SaveFile(pane, path,
                             [&](qint64 done, qint64 total) {
                                 QVERIFY(done > lastDone && done <= total);
                                 lastDone = done;
                                 ++steps;
                             }),
             std::nullopt);
    QCOMPARE(Contents(path), expected);
    QCOMPARE(lastDone, qint64(pane.document()->characterCount()));
    QVERIFY(steps > 1);
}

void ResultFileTest::replacesAnExistingFile()
{
    const QString path = m_dir->filePath(u"report.txt"_s);
    QVERIFY(WriteFile(path, QByteArray(10000, 'x')));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ResultPane pane;
    pane.setPlainText(u"new\n"_s);
    QCOMPARE(bFile::SaveFile(pane, path), std::nullopt);
    QCOMPARE(Contents(path), QByteArray("new\r\n"));
    const QFile::Permissions ownerGroupOther(0x7077);
    QCOMPARE(QFile::permissions(path) & ownerGroupOther,
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"report.txt"_s});
}

void ResultFileTest::failedWriteLeavesTheOldFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << u"missing/report.txt"_s << u"No such file"_s;
    QTest::newRow("a folder") << u"folder"_s << u"directory"_s;
    // A FIFO stands for every special file: written over, it would become a plain file.
    QTest::newRow("a FIFO") << u"fifo"_s << u"not a regular file"_s;
}

void ResultFileTest::failedWriteLeavesTheOldFile()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QDir dir(m_dir->path());
    QVERIFY(dir.mkdir(u"folder"_s));
    QVERIFY(WriteFile(dir.filePath(u"folder/inside.txt"_s), "old"));
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(u"fifo"_s)).constData(), 0600), 0);
    const QStringList before = dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden);

    ResultPane pane;
    pane.setPlainText(u"report\n"_s);
    const std::optional<QString> failure = bFile::SaveFile(pane, dir.filePath(target));
    QVERIFY(failure.has_value());
    QVERIFY2(failure->contains(reason, Qt::CaseInsensitive), qPrintable(*failure));

    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden), before);
    QVERIFY(QFileInfo(dir.filePath(u"folder"_s)).isDir());
    QCOMPARE(Contents(dir.filePath(u"folder/inside.txt"_s)), QByteArray("old"));
    struct stat fifo
    {
    };
    QCOMPARE(stat(QFile::encodeName(dir.filePath(u"fifo"_s)).constData(), &fifo), 0);
    QVERIFY(S_ISFIFO(fifo.st_mode));
}

void ResultFileTest::writeFailingMidwayLeavesTheOldFile()
{
    const QString path = m_dir->filePath(u"report.txt"_s);
    QVERIFY(WriteFile(path, "the old report\r\n"));
    ResultPane pane;
    pane.setPlainText(QString(100, u'x') + u'\n');
    for (int i = 0; i < 10; ++i)
        pane.appendPlainText(pane.toPlainText());

    std::optional<QString> failure;
    {
        FileSizeLimit limit(4096);
        QVERIFY(limit.isSet());
        failure = bFile::SaveFile(pane, path);
    }
    QVERIFY(failure.has_value());
    QVERIFY2(failure->contains(u"too large"_s, Qt::CaseInsensitive), qPrintable(*failure));
    QCOMPARE(Contents(path), QByteArray("the old report\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"report.txt"_s});
}

// Tests run as root, whom permissions do not stop; nothing can be created among the kernel's
// files, though, nor one of them replaced.
void ResultFileTest::fileOfAReadOnlyPlaceStays()
{
    const QString kernelFile = u"/proc/version"_s;
    const QByteArray before = Contents(kernelFile);
    QVERIFY(before.startsWith("Linux"));
    ResultPane pane;
    pane.setPlainText(u"report\n"_s);
    QVERIFY(bFile::SaveFile(pane, kernelFile).has_value());
    QCOMPARE(Contents(kernelFile), before);
}

QTEST_MAIN(ResultFileTest)
#include "resultfile_test.moc"
