#include "resultfile.h"

#include "panelines.h"
#include "resultpane.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

namespace {

// Writes all of bytes; nothing, or why the device refused.
std::optional<QString> WriteAll(QIODevice& device, const QByteArray& bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        // A short write is no error yet; the next one tells why the rest did not fit.
        const qint64 step = device.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            return device.errorString();
        written += step;
    }
    return std::nullopt;
}

// A save makes the written data durable in steps of about this many bytes as it goes: the
// commit's own sync then waits for little, where it used to keep the window from its events for
// as long as the disk took to take in the whole report.
constexpr qint64 kSyncStepBytes = 16 * 1024 * 1024;

// Waits until the data written to file so far is on the disk; nothing, or why it is not. A
// file system that cannot sync is let be, as the commit lets it be; a failing disk is not.
std::optional<QString> SyncWritten([[maybe_unused]] QSaveFile& file)
{
#ifdef Q_OS_UNIX
    if (::fdatasync(file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP && errno != ENOSYS)
        return QString::fromLocal8Bit(std::strerror(errno));
#endif
    return std::nullopt;
}

} // namespace

std::optional<QString> WriteReportText(ResultPane& pane, QIODevice& device,
                                       const bVarious::WorkProgress& progress)
{
    pane.FlushPending();
    const QTextDocument& document = *pane.document();
    const qint64 total = document.characterCount();
    // Every character, a no-break space as well, is written as it stands.
    QString piece;
    piece.reserve(bVarious::kPieceChars + 1024);
    std::optional<QString> failure;
    const auto write = [&](qint64 reached) {
        failure = WriteAll(device, piece.toUtf8());
        piece.clear();
        if (!failure && progress)
            progress(reached, total);
        return !failure;
    };
    if (bVarious::ReadPaneText(document, 0, int(total - 1), u"\r\n", piece, write))
        write(total);
    return failure;
}

QByteArray ReportFileText(ResultPane& pane)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WriteReportText(pane, buffer);
    return bytes;
}

std::optional<QString> SaveFile(ResultPane& pane, const QString& path,
                                const bVarious::WorkProgress& progress)
{
    // A device or a FIFO would be replaced by a plain file in its place: never write there.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return u"It is not a regular file."_s;

    QSaveFile file(path);
    // Unbuffered, every write reaches the disk at once and a failure is seen where it occurs.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 synced = 0;
    std::optional<QString> syncFailure;
    const auto syncing = [&](qint64 done, qint64 total) {
        if (!syncFailure && file.pos() - synced >= kSyncStepBytes) {
            syncFailure = SyncWritten(file);
            synced = file.pos();
        }
        if (progress)
            progress(done, total);
    };
    auto failure = WriteReportText(pane, file, syncing);
    if (!failure)
        failure = syncFailure;
    if (failure) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace bFile
