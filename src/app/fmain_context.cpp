#include "contextsetting.h"
#include "contextview.h"
#include "differencesearch.h"
#include "fmain.h"
#include "hexoffset.h"
#include "panesink.h"
#include "plainbox.h"
#include "reportformat.h"
#include "reportposition.h"
#include "resultpane.h"
#include "splitbar.h"
#include "statustext.h"
#include "version.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

namespace {

QString Hex(std::uint64_t value)
{
    return QStringLiteral("0x") + QString::fromStdString(bVarious::HexNumber(value));
}

} // namespace

void fMAIN::ShowContextView()
{
    const bool shown = mnuCONTEXT->isChecked() && picCONTEXT->HasFiles();
    picCONTEXT->setVisible(shown);
    picSPLIT->setVisible(shown);
    Form_Resize();
    // The view takes its share from the pane's bottom: the caret's line (after a run, the
    // summary) stays in view.
    tOut->ensureCursorVisible();
}

void fMAIN::MoveContextSplit(int y)
{
    const int top = tOut->geometry().top();
    const int bottom = picCONTEXT->geometry().bottom();
    if (bottom <= top)
        return;
    const int share = (bottom - y - SplitBar::kHeight) * 1000 / (bottom - top + 1);
    m_contextShare = std::clamp(share, bVarious::kMinContextShare, bVarious::kMaxContextShare);
    Form_Resize();
}

// The caret moved in the pane: the view shows the position of the report line it is on.
void fMAIN::tOut_CaretMoved()
{
    if (m_followingView || !m_viewed || picCONTEXT->isHidden() || tOut->IsFrozen())
        return;
    const auto label =
        bVarious::LabelAt(*tOut->document(), tOut->textCursor().position(), m_viewed->byLines);
    if (!label)
        return;
    // By lines labels count from offset 1, as the comparison used it.
    std::uint64_t position = *label;
    if (m_viewed->byLines) {
        const std::uint64_t length = picCONTEXT->Layout().Length(1);
        position += m_viewed->offset1 > length ? 0 : m_viewed->offset1;
    }
    picCONTEXT->ShowPosition(position, true);
}

// The view moved to a position: the pane's caret goes to the report line that lists its
// byte, when there is one; the map's frame follows the pane.
void fMAIN::FollowContextView(std::uint64_t position1)
{
    if (!m_viewed || tOut->IsFrozen() || !m_operation->CanEditPane())
        return;
    std::uint64_t label = position1;
    if (m_viewed->byLines) {
        const std::uint64_t length = picCONTEXT->Layout().Length(1);
        const std::uint64_t offset1 = m_viewed->offset1 > length ? 0 : m_viewed->offset1;
        if (position1 < offset1)
            return;
        label = position1 - offset1;
    }
    QTextDocument& document = *tOut->document();
    const auto line = bVarious::LineAtOrBefore(document, label);
    if (!line)
        return;
    if (line->label != label) {
        // A By lines row lists the bytes from its label on; a line of bytes only in file 1
        // stands for all of them.
        const QTextBlock block = document.findBlock(line->position);
        const QString text = block.text().mid(line->position - block.position());
        const int end = int(text.indexOf(QChar::LineSeparator));
        const QStringView shown = end < 0 ? QStringView(text) : QStringView(text).left(end);
        const std::uint64_t rowBytes =
            m_viewed->byLines ? std::uint64_t(bVarious::LineByteCount(shown)) : 0;
        if (label - line->label >= std::max(rowBytes, bVarious::RemovedCount(shown)))
            return;
    }
    m_followingView = true;
    QTextCursor cursor(&document);
    cursor.setPosition(line->position);
    tOut->setTextCursor(cursor);
    tOut->ensureCursorVisible();
    m_followingView = false;
}

void fMAIN::mnuNEXTDIFF_Click()
{
    FindContextDifference(true);
}

void fMAIN::mnuPREVDIFF_Click()
{
    FindContextDifference(false);
}

// From the view's position, the next (or previous) byte where the files differ, reading the
// files and not the report. A long search shows its progress and stops like a comparison.
void fMAIN::FindContextDifference(bool forward)
{
    if (!m_operation->CanStart())
        return;
    if (!m_viewed || !picCONTEXT->HasFiles()) {
        bFile::ShowStatus(*SBPanel, QStringLiteral("Compare two files first."));
        return;
    }
    const std::uint64_t from = picCONTEXT->Position();
    const QString none = forward ? QStringLiteral("No difference after ") + Hex(from)
                                 : QStringLiteral("No difference before ") + Hex(from);
    if (!forward && from == 0)
        return bFile::ShowStatus(*SBPanel, none);

    std::optional<std::uint64_t> found;
    const auto run = m_operation->RunStoppable(
        LongOperation::Kind::FindingDifference,
        QStringLiteral("There is not enough memory to search these files."), [&](PaneSink& sink) {
            bFile::DifferenceSearch search{m_viewed->path1, m_viewed->path2, m_viewed->offset1,
                                           m_viewed->offset2};
            search.alignment = m_viewed->alignment;
            found = forward ? bFile::FindNextDifference(search, from + 1, sink)
                            : bFile::FindPreviousDifference(search, from - 1, sink);
        });
    if (run.Closing())
        return;
    if (run.Stopped())
        return bFile::ShowStatus(*SBPanel, forward
                                               ? QStringLiteral("Next Difference stopped.")
                                               : QStringLiteral("Previous Difference stopped."));
    if (!run.Failure().isEmpty()) {
        bFile::ShowStatus(*SBPanel, run.Failure());
        bVarious::PlainMessageBox(this, QMessageBox::Critical, QStringLiteral(LUMATRA_NAME),
                                  run.Failure());
        return;
    }
    if (!found)
        return bFile::ShowStatus(*SBPanel, none);
    bFile::ShowStatus(*SBPanel, QStringLiteral("Difference at ") + Hex(*found));
    picCONTEXT->ShowPosition(*found, true);
    FollowContextView(*found);
}

// A hexadecimal position in file 1; the view shows it. One past file 1's end or not hex is
// refused with a message, and the view stays where it was.
void fMAIN::mnuGOTO_Click()
{
    if (!m_viewed || !picCONTEXT->HasFiles()) {
        bFile::ShowStatus(*SBPanel, QStringLiteral("Compare two files first."));
        return;
    }
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, QStringLiteral("Go To Offset"), QStringLiteral("Position in file 1 (hex):"),
        QLineEdit::Normal, QString::fromStdString(bVarious::HexNumber(picCONTEXT->Position())),
        &ok);
    if (!ok)
        return;
    const std::optional<std::uint64_t> position =
        bVarious::PositionFromHex(text.trimmed().toStdString());
    QString refusal;
    if (!position)
        refusal = QStringLiteral("The position must be a hexadecimal number.");
    else if (!picCONTEXT->Layout().Holds(*position))
        refusal = QString::fromStdString(
            bFile::PositionPastEndText(*position, picCONTEXT->Layout().Length(1)));
    if (!refusal.isEmpty()) {
        bVarious::PlainMessageBox(this, QMessageBox::Critical, QStringLiteral(LUMATRA_NAME),
                                  refusal);
        return;
    }
    picCONTEXT->ShowPosition(*position);
    FollowContextView(*position);
}
