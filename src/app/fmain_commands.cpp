// The window's small commands: closing, choosing the files, the font, the window's place on
// top and the About box.
#include "dialogs.h"
#include "fmain.h"
#include "plainbox.h"
#include "resultpane.h"
#include "topmost.h"
#include "version.h"

#include <QAction>
#include <QFontInfo>
#include <QLineEdit>

namespace {

// The ".." buttons: a chosen file's path goes into the field; a cancelled dialog leaves it. A
// field that is read-only while a run reads it is left alone.
void ChooseFileInto(QWidget* parent, QLineEdit* field)
{
    if (field->isReadOnly())
        return;
    const QString path = bDialog::OpenFileDialog(parent, QStringLiteral("Open File:"), QString(),
                                                 QStringLiteral("*.*"), QString(), QString());
    if (!path.isEmpty())
        field->setText(path);
}

} // namespace

void fMAIN::cmdEXIT_Click()
{
    close();
}

void fMAIN::mnuEXIT_Click()
{
    close();
}

void fMAIN::SwapFiles()
{
    if (!m_operation->CanStart())
        return;
    const QString file1 = txtFILE1->text();
    const QString offset1 = txtOFS1->text();
    txtFILE1->setText(txtFILE2->text());
    txtOFS1->setText(txtOFS2->text());
    txtFILE2->setText(file1);
    txtOFS2->setText(offset1);
}

void fMAIN::cmdFILE1_Click()
{
    ChooseFileInto(this, txtFILE1);
}

void fMAIN::cmdFILE2_Click()
{
    ChooseFileInto(this, txtFILE2);
}

// The dialog opens on the face, size and weight the pane shows, which is not the face asked for
// where the system substitutes another. Only face, size and bold change; the pane's character
// set stays whatever face is chosen.
void fMAIN::mnuFONT_Click()
{
    const QFont current = tOut->font();
    const QFontInfo shown(current);
    bDialog::FontChoice choice;
    choice.Name = shown.family();
    choice.Size = bDialog::WholePoints(shown.pointSizeF()).value_or(0);
    choice.Bold = shown.bold();
    if (!bDialog::FontDialog(this, choice))
        return;
    QFont chosen = current;
    chosen.setFamily(choice.Name);
    chosen.setPointSize(choice.Size);
    chosen.setBold(choice.Bold);
    tOut->ApplyFont(chosen);
}

// The item is checkable: Qt has already flipped its check mark when this runs.
void fMAIN::mnuTOP_Click()
{
    bVarious::SetTopMost(*this, mnuTOP->isChecked());
}

void fMAIN::mnuABOUT_Click()
{
    const QStringList lines{
        QStringLiteral(LUMATRA_NAME " v" LUMATRA_VERSION " (" LUMATRA_RELEASE_DATE ")"), QString(),
        QStringLiteral(LUMATRA_CONTACT), QStringLiteral(LUMATRA_WEB),
        QStringLiteral(LUMATRA_COPYRIGHT)};
    bVarious::PlainMessageBox(this, QMessageBox::Information, QStringLiteral("About"),
                              lines.join(u"\r\n"));
}
