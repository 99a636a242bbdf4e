#include "comparefiles.h"
#include "fileexists.h"
#include "fmain.h"
#include "hexoffset.h"
#include "mapstrip.h"
#include "panesink.h"
#include "plainbox.h"
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

std::string LocalPath(const QLineEdit& field)
{
    return QFile::encodeName(field.text()).toStdString();
}

} // namespace

std::optional<fMAIN::CheckedRequest> fMAIN::CheckRequest()
{
    const auto refuse = [this](const char* title, const char* text) {
        bVarious::PlainMessageBox(this, QMessageBox::Critical, QString::fromLatin1(title),
                                  QString::fromLatin1(text));
        return std::nullopt;
    };
    const CheckedRequest request{LocalPath(*txtFILE1), LocalPath(*txtFILE2), 0, 0};
    if (!bFile::FileExists(request.path1))
        return refuse("Error", "File 1 doesn't exist!");
    if (!bFile::FileExists(request.path2))
        return refuse("Error", "File 2 doesn't exist!");
    const auto offset1 = bVarious::OffsetFromHex(txtOFS1->text().toStdString());
    if (!offset1)
        return refuse(LUMATRA_NAME, "Offset 1 isn't HEX number !");
    const auto offset2 = bVarious::OffsetFromHex(txtOFS2->text().toStdString());
    if (!offset2)
        return refuse(LUMATRA_NAME, "Offset 2 isn't HEX number !");
    return CheckedRequest{request.path1, request.path2, *offset1, *offset2};
}

// During a comparison the button reads "&Stop" and pressing it stops the run: the report
// ends with the engine's note of where it stopped, which the status text shows too. It stops
// a search for a shift the same way. Nothing starts while another long operation runs.
void fMAIN::cmdRUN_Click()
{
    if (m_busy != Busy::Idle) {
        if (m_busy == Busy::Comparing || m_busy == Busy::FindingShift)
            m_stopRequested = true;
        return;
    }

    const QString appTitle = QStringLiteral(LUMATRA_NAME);
    const auto request = CheckRequest();
    if (!request)
        return;

    ResultChanged = false;
    tOut->setPlainText(QString());
    bVarious::FreezeResult(*tOut, true, ResultChanged);

    QString failure;
    RunStoppable(Busy::Comparing,
                 QStringLiteral("There is not enough memory to compare these files."), failure,
                 [&](PaneSink& sink) {
                     // The map is kept whether shown or not, so that showing it later shows
                     // this run's.
                     sink.SetMapStrip(m_mapStrip);
                     m_mapStrip->StartComparison();
                     ShowDifferenceMap();
                     bFile::CompareOptions options;
                     options.mapRegions = bFile::DifferenceMap::kMaxRegions;
                     // A stop is told by the report's last line and the status.
                     bFile::CompareFiles(request->path1, request->path2, request->offset1,
                                         request->offset2, optLines->isChecked(),
                                         chkChars->checkState() != Qt::Unchecked, sink, options);
                 });

    bVarious::FreezeResult(*tOut, false, ResultChanged);
    if (!failure.isEmpty())
        bVarious::PlainMessageBox(this, QMessageBox::Critical, appTitle, failure);
    if (m_closeWhenStopped) {
        m_closeWhenStopped = false;
        close();
    }
}

bool fMAIN::RunStoppable(Busy what, const QString& noMemory, QString& failure,
                         const std::function<void(PaneSink&)>& work)
{
    m_busy = what;
    m_stopRequested = false;
    cmdRUN->setText(QStringLiteral("&Stop"));
    PaneSink sink(*tOut, *SBPanel, this, [this] { return m_stopRequested; });
    bool stopped = false;
    try {
        work(sink);
    } catch (const bFile::CompareStopped&) {
        stopped = true;
    } catch (const std::bad_alloc&) {
        failure = noMemory;
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    m_busy = Busy::Idle;
    cmdRUN->setText(QStringLiteral("&Compare"));
    return stopped;
}
