#include "comparefiles.h"
#include "findshift.h"
#include "fmain.h"
#include "hexoffset.h"
#include "panesink.h"
#include "plainbox.h"
#include "reportformat.h"
#include "resultpane.h"
#include "shifttext.h"
#include "statustext.h"
#include "version.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <new>

namespace {

// An offset's text for its field, or empty when it needs more digits than the field takes.
QString FieldText(std::uint64_t offset)
{
    const std::string digits = bVarious::HexNumber(offset);
    return digits.size() <= bVarious::kMaxOffsetDigits ? QString::fromStdString(digits) : QString();
}

} // namespace

// Searches from the offsets in the fields, as a comparison would start, and offers the pair
// that lines the files up again in the same fields. The pane and its report stay as they are.
void fMAIN::mnuFINDSHIFT_Click()
{
    if (!m_operation->CanStart())
        return;
    const auto request = CheckRequest();
    if (!request)
        return;

    std::optional<bFile::ShiftResult> result;
    const auto run = m_operation->RunStoppable(
        LongOperation::Kind::FindingShift,
        QStringLiteral("There is not enough memory to search these files."), [&](PaneSink& sink) {
            result = bFile::FindShift(request->path1, request->path2, request->offset1,
                                      request->offset2, sink);
        });
    if (run.Closing())
        return;
    // "&Stop": the fields stay as they are.
    if (run.Stopped())
        return bFile::ShowStatus(*SBPanel, QStringLiteral("Find Shift stopped."));

    // The status bar keeps a short text; the box has the whole of it.
    const QString appTitle = QStringLiteral(LUMATRA_NAME);
    const auto tell = [&](QMessageBox::Icon icon, const QString& status, const QString& text) {
        bFile::ShowStatus(*SBPanel, status);
        bVarious::PlainMessageBox(this, icon, appTitle, text, QMessageBox::Ok);
    };
    if (!result)
        return tell(QMessageBox::Critical, QStringLiteral("Find Shift failed."), run.Failure());
    if (result->outcome != bFile::ShiftOutcome::Found)
        return tell(QMessageBox::Information,
                    result->outcome == bFile::ShiftOutcome::NoDifference
                        ? QStringLiteral("Find Shift: the files do not differ.")
                        : QStringLiteral("Find Shift: no shift lines the files up again."),
                    QString::fromStdString(bFile::ShiftNotFoundText(*result)));

    const QString found = QString::fromStdString(bFile::ShiftFoundText(*result));
    // The first sentence says what was found; a note on repeating data may follow it.
    const QString foundFirst = found.left(found.indexOf(QStringLiteral(". ")) + 1);
    const QString field1 = FieldText(result->offset1);
    const QString field2 = FieldText(result->offset2);
    if (field1.isEmpty() || field2.isEmpty()) {
        // A cut offset would line up the wrong bytes: the pair is told, not put in.
        return tell(QMessageBox::Information, foundFirst.isEmpty() ? found : foundFirst,
                    found + QStringLiteral(" The files line up again at 0x%1 in file 1 and 0x%2 "
                                           "in file 2, which the offset fields cannot take: "
                                           "they hold at most %3 hex digits.")
                                .arg(QString::fromStdString(bVarious::HexNumber(result->offset1)),
                                     QString::fromStdString(bVarious::HexNumber(result->offset2)),
                                     QString::number(bVarious::kMaxOffsetDigits)));
    }
    txtOFS1->setText(field1);
    txtOFS2->setText(field2);
    if (foundFirst.isEmpty())
        return bFile::ShowStatus(*SBPanel, found + QStringLiteral(" Press Compare."));
    tell(QMessageBox::Information, foundFirst + QStringLiteral(" Press Compare."),
         found + QStringLiteral(" Press Compare."));
}
