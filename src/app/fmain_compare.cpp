#include "alignment.h"
#include "comparefiles.h"
#include "contextview.h"
#include "enginepath.h"
#include "fmain.h"
#include "mapstrip.h"
#include "panesink.h"
#include "plainbox.h"
#include "requestcheck.h"
#include "resultpane.h"
#include "resultwriter.h"
#include "version.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <new>

namespace {

// The field's path as the file system spells it.
std::string LocalPath(const QLineEdit& field)
{
    return bVarious::EnginePath(field.text());
}

} // namespace

std::optional<fMAIN::CheckedRequest> fMAIN::CheckRequest()
{
    CheckedRequest request{LocalPath(*txtFILE1), LocalPath(*txtFILE2), 0, 0};
    const auto checked = bFile::CheckRequest(
        request.path1, request.path2, txtOFS1->text().toStdString(), txtOFS2->text().toStdString());
    if (const auto* failed = std::get_if<bFile::FailedCheck>(&checked)) {
        const auto latin1 = [](std::string_view text) {
            return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        };
        bVarious::PlainMessageBox(this, QMessageBox::Critical, latin1(failed->title),
                                  latin1(failed->text));
        return std::nullopt;
    }
    const auto [offset1, offset2] = std::get<bFile::CheckedOffsets>(checked);
    request.offset1 = offset1;
    request.offset2 = offset2;
    return request;
}

// During a comparison the button reads "&Stop" and pressing it stops the run: the report
// ends with the engine's note of where it stopped, which the status text shows too. It stops
// a search for a shift the same way. Nothing starts while another long operation runs, nor
// right after "&Stop" (see RunButtonTakesClick).
void fMAIN::cmdRUN_Click()
{
    if (!m_operation->RunButtonTakesClick())
        return;
    if (!m_operation->CanStart()) {
        m_operation->RequestStop();
        return;
    }

    const QString appTitle = QStringLiteral(LUMATRA_NAME);
    const auto request = CheckRequest();
    if (!request)
        return;

    ResultChanged = false;
    m_viewed = ViewedComparison{request->path1, request->path2, request->offset1, request->offset2,
                                optLines->isChecked()};
    picCONTEXT->Clear();
    ShowContextView();
    tOut->setPlainText(QString());
    bVarious::FreezeResult(*tOut, true, ResultChanged);
    // The view follows a realigning run's edits, as far as the run got.
    std::shared_ptr<bFile::Alignment> alignment;
    if (mnuREALIGN->isChecked())
        alignment = std::make_shared<bFile::Alignment>();

    const auto run = m_operation->RunStoppable(
        LongOperation::Kind::Comparing,
        QStringLiteral("There is not enough memory to compare these files."), [&](PaneSink& sink) {
            // The map is kept whether shown or not, so that showing it later shows this run's.
            sink.SetMapStrip(picMAP);
            picMAP->StartComparison();
            ShowDifferenceMap();
            bFile::CompareOptions options;
            options.mapRegions = bFile::DifferenceMap::kMaxRegions;
            options.realign = alignment != nullptr;
            sink.KeepEdits(alignment.get());
            // A stop is told by the report's last line and the status.
            bFile::CompareFiles(request->path1, request->path2, request->offset1, request->offset2,
                                optLines->isChecked(), chkChars->checkState() != Qt::Unchecked,
                                sink, options);
        });

    bVarious::FreezeResult(*tOut, false, ResultChanged);
    // The view shows the files from the first byte compared, after the run however it ended.
    if (!run.Closing()) {
        m_viewed->alignment = alignment;
        picCONTEXT->SetComparison(m_viewed->path1, m_viewed->path2, m_viewed->offset1,
                                  m_viewed->offset2, alignment);
        ShowContextView();
    }
    if (!run.Failure().isEmpty())
        bVarious::PlainMessageBox(this, QMessageBox::Critical, appTitle, run.Failure());
}
