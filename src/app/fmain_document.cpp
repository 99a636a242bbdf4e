// The report as a document: saving it, tracking unsaved changes, searching it and editing it
// through the clipboard.
#include "dialogs.h"
#include "editcommands.h"
#include "enginepath.h"
#include "fileexists.h"
#include "fmain.h"
#include "plainbox.h"
#include "resultfile.h"
#include "resultpane.h"
#include "search.h"
#include "version.h"
#include "visiblepath.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>

// A report goes to its file without a question while that file exists; otherwise, or when
// asked for, the save dialog names the file first, offering the old file's name.
fMAIN::SaveEnd fMAIN::RunSave(bool askForPath)
{
    if (!m_operation->CanReadPane())
        return SaveEnd::Cancelled;
    if (!askForPath && bFile::FileExists(bVarious::EnginePath(ResultFile)))
        return SaveResult();
    const QString path = bDialog::SaveFileDialog(
        this, QStringLiteral("Save as:"), QStringLiteral("Text Files  (*.txt)"),
        QStringLiteral("*.txt"), bFile::FileNamePart(ResultFile), QString());
    if (path.isEmpty())
        return SaveEnd::Cancelled;
    ResultFile = path;
    return SaveResult();
}

void fMAIN::mnuSAVE_Click()
{
    RunSave(false);
}

void fMAIN::mnuSAVEAS_Click()
{
    RunSave(true);
}

// A failed write is shown and changes nothing else: the report still counts as unsaved.
fMAIN::SaveEnd fMAIN::SaveResult()
{
    std::optional<QString> failure;
    const auto save = m_operation->Run(LongOperation::Kind::Saving, QStringLiteral("Saving ... "),
                                       [&](const bVarious::WorkProgress& progress) {
                                           failure = bFile::SaveFile(*tOut, ResultFile, progress);
                                       });
    if (failure) {
        bVarious::PlainMessageBox(this, QMessageBox::Critical, QStringLiteral(LUMATRA_NAME),
                                  QStringLiteral("Cannot save the report to ") +
                                      bVarious::VisiblePath(QDir::toNativeSeparators(ResultFile)) +
                                      QStringLiteral(":\n") + *failure,
                                  QMessageBox::Ok);
        return SaveEnd::Failed;
    }
    ResultChanged = false;
    SBPanel->setText(bVarious::VisiblePath(ResultFile));
    return SaveEnd::Written;
}

// Only the first change after a save or a freeze is shown. During a comparison the pane takes
// in its gathered lines right before each status text, which then replaces this one.
void fMAIN::tOut_Change()
{
    if (ResultChanged)
        return;
    ResultChanged = true;
    SBPanel->setText(QStringLiteral("* ") + bVarious::VisiblePath(ResultFile));
}

void fMAIN::mnuFIND_Click()
{
    FindText.clear();
    Hladaj(true);
}

void fMAIN::mnuFINDNXT_Click()
{
    if (tOut->textCursor().hasSelection())
        FindText = bVarious::SelectionText(*tOut);
    Hladaj(true);
}

// While a comparison writes into the pane, its next line goes where the caret is: the search,
// Cut and Paste leave the pane alone until the comparison has ended.
void fMAIN::Hladaj(bool Stale)
{
    if (!m_operation->CanEditPane())
        return;
    if (FindText.isEmpty())
        FindText = QInputDialog::getText(this, QStringLiteral(LUMATRA_NAME),
                                         QStringLiteral("Find what:")); // empty when cancelled
    if (FindText.isEmpty())
        return;
    const int start = tOut->textCursor().selectionEnd();
    int found = -1;
    const auto search =
        m_operation->Run(LongOperation::Kind::Searching, QStringLiteral("Searching ... "),
                         [&](const bVarious::WorkProgress& progress) {
                             found = bVarious::FindInPane(*tOut, FindText, start, progress);
                         });
    if (found < 0) {
        if (Stale) {
            tOut->moveCursor(QTextCursor::Start);
            Hladaj(false);
        } else {
            bVarious::PlainMessageBox(this, QMessageBox::Information, QStringLiteral("Not found :"),
                                      FindText, QMessageBox::Ok);
        }
    }
    tOut->setFocus();
}

// The edit commands work on the pane whichever control has the focus.
void fMAIN::mnuCUT_Click()
{
    if (!m_operation->CanEditPane())
        return;
    mnuCOPY_Click();
    bVarious::ReplaceSelection(*tOut, QString());
}

void fMAIN::mnuCOPY_Click()
{
    QString text;
    const auto copy = m_operation->Run(LongOperation::Kind::Copying, QStringLiteral("Copying ... "),
                                       [&](const bVarious::WorkProgress& progress) {
                                           text = bVarious::SelectionText(*tOut, progress);
                                       });
    if (copy.Ran())
        bVarious::PutOnClipboard(text);
}

void fMAIN::mnuPASTE_Click()
{
    if (!m_operation->CanEditPane())
        return;
    bVarious::ReplaceSelection(*tOut, bVarious::ClipboardText());
}

void fMAIN::tOut_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, int, int)
{
    if (Button == Qt::RightButton)
        m2->popup(QCursor::pos());
}
