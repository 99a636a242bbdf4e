#include "filedrop.h"
#include "isolatedstore.h"
#include "windowcontrols.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Sends field a drag of urls, as the file manager would: enter, then drop. Returns whether the
// field accepted the drop.
bool Drag(QLineEdit& field, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPointF centre = QRectF(field.rect()).center();
    QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&field, &enter);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&field, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

} // namespace

class FileDropTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void droppedFileGivesItsLocalPath()
    {
        QLineEdit field(u"/old/path.bin"_s);
        new FileDrop(field);
        QVERIFY(Drag(field, {QUrl::fromLocalFile(u"/data/with space/a.bin"_s),
                             QUrl::fromLocalFile(u"/data/b.bin"_s)}));
        QCOMPARE(field.text(), u"/data/with space/a.bin"_s);
    }

    void remoteAddressIsNotTaken()
    {
        QLineEdit field(u"/old/path.bin"_s);
        new FileDrop(field);
        QVERIFY(!Drag(field, {QUrl(u"https://example.org/a.bin"_s)}));
        QCOMPARE(field.text(), u"/old/path.bin"_s);
    }

    void windowFileFieldsTakeDrops()
    {
        fMAIN window;
        QVERIFY(Drag(*Control<QLineEdit>(window, "txtFILE1"),
                     {QUrl::fromLocalFile(u"/data/one.bin"_s)}));
        QVERIFY(Drag(*Control<QLineEdit>(window, "txtFILE2"),
                     {QUrl::fromLocalFile(u"/data/two.bin"_s)}));
        QCOMPARE(Control<QLineEdit>(window, "txtFILE1")->text(), u"/data/one.bin"_s);
        QCOMPARE(Control<QLineEdit>(window, "txtFILE2")->text(), u"/data/two.bin"_s);
    }
};

int main(int argc, char** argv)
{
    return RunWithIsolatedStore<FileDropTest>(argc, argv);
}

#include "filedrop_test.moc"
