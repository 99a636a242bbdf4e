// The window as a Windows user meets it: compares two files named with backslashes and letters
// beyond the ANSI code page, checks that the report names them as written, holds the summary
// and shows in a fixed-pitch face, and saves a picture of the window:
//     lumatra_windowsmoke OUTPUT.png
#include "contextview.h"
#include "modalanswerer.h"
#include "testfiles.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int failures = 0;

void Check(bool ok, const QString& what)
{
    if (!ok) {
        std::fprintf(stderr, "FAIL: %s\n", what.toUtf8().constData());
        ++failures;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // Qt's own messages (a control not found ends the program) reach the test's log: under
    // wine they would go to the debugger only.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
        std::fflush(stderr);
    });
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: lumatra_windowsmoke OUTPUT.png\n", stderr);
        return 2;
    }
    QTemporaryDir dir;
    const QString path1 = QDir::toNativeSeparators(dir.filePath(u"Grüße 日本.bin"_s));
    const QString path2 = QDir::toNativeSeparators(dir.filePath(u"two.bin"_s));
    if (!dir.isValid() || !WriteFile(path1, QByteArrayLiteral("ABCDEFGH")) ||
        !WriteFile(path2, QByteArrayLiteral("AbcDEfGH"))) {
        std::fputs("lumatra_windowsmoke: cannot write the sample files\n", stderr);
        return 2;
    }

    fMAIN window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("lumatra_windowsmoke: the window was never shown\n", stderr);
        return 2;
    }
    // Pasted, as a user brings such names: QTest types ASCII only.
    Control<QLineEdit>(window, "txtFILE1")->insert(path1);
    Control<QLineEdit>(window, "txtFILE2")->insert(path2);
    QTest::mouseClick(Control<QPushButton>(window, "cmdRUN"), Qt::LeftButton);
    const QString summary = u"3 bytes changed, 2 locations"_s;
    QElapsedTimer waited;
    waited.start();
    while (!Pane(window)->toPlainText().contains(summary) && waited.elapsed() < 20000)
        QTest::qWait(100);
    QTest::qWait(200);

    const QString report = Pane(window)->toPlainText();
    Check(report.startsWith(u"File 1: "_s + path1 + u" (8 bytes"_s),
          u"file 1 not named as written: "_s + report.left(200));
    Check(report.contains(u"File 2: "_s + path2 + u" (8 bytes"_s),
          u"file 2 not named as written: "_s + report.left(200));
    Check(report.contains(u"00000001: 42 62"_s), u"no line for 0x1: "_s + report);
    Check(report.contains(summary), u"no summary: "_s + report);
    // Both the report and the context view need a fixed-pitch face for their columns.
    for (const QWidget* text :
         {static_cast<QWidget*>(Pane(window)),
          static_cast<QWidget*>(Control<ContextView>(window, "picCONTEXT"))}) {
        Check(QFontInfo(text->font()).fixedPitch(), text->objectName() +
                                                        u" is not in a fixed-pitch face: "_s +
                                                        QFontInfo(text->font()).family());
    }
    Check(window.grab().save(QString::fromLocal8Bit(argv[1])), u"cannot save the picture"_s);
    // Closing keeps the settings in the registry, where the next start reads them.
    {
        ModalAnswerer answerer;
        answerer.SetStandingButton(kNo);
        window.close();
    }
    Check(!QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Lumatra"_s, u"Lumatra"_s)
               .allKeys()
               .isEmpty(),
          u"no settings in the registry after closing"_s);
    std::fprintf(stderr, "lumatra_windowsmoke: the pane shows %s\n",
                 QFontInfo(Pane(window)->font()).family().toUtf8().constData());
    return failures == 0 ? 0 : 1;
}
