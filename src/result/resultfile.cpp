#include "resultfile.h"

#include "resultpane.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace bFile {

QString FileNamePart(const QString& path)
{
#ifdef Q_OS_WIN
    const qsizetype separator = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
#else
    const qsizetype separator = path.lastIndexOf(u'/');
#endif
    return path.mid(separator + 1);
}

QByteArray ReportFileText(ResultPane& pane)
{
    pane.flushPending();
    // The raw text keeps every character as shown (a no-break space stays one); the document
    // ends each line with a paragraph separator, and Shift+Enter puts a line separator.
    QString text = pane.document()->toRawText();
    // The document's last paragraph has no separator of its own, so text that ends with a
    // line break ends with an empty paragraph and one separator, as the file should.
    text.replace(QChar::ParagraphSeparator, u"\r\n"_s);
    text.replace(QChar::LineSeparator, u"\r\n"_s);
    return text.toUtf8();
}

std::optional<QString> SaveFile(ResultPane& pane, const QString& path)
{
    // A device or a FIFO would be replaced by a plain file in its place: never write there.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return u"It is not a regular file."_s;

    const QByteArray bytes = ReportFileText(pane);
    QSaveFile file(path);
    // Unbuffered, every write reaches the disk at once and a failure is seen where it occurs.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 written = 0;
    while (written < bytes.size()) {
        // A short write is no error yet; the next one tells why the rest did not fit.
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        written += step;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace bFile
