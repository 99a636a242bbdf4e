#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class QWidget;

namespace bDialog {

// What the font command and the font dialog exchange.
struct FontChoice
{
    QString Name;
    qint16 Size = 0; // whole points
    bool Bold = false;
};

// The file dialogs: modal to parent, one filter (an empty filterName shows "All Files"),
// starting in initDir or, when that is empty, in the folder of the file chosen last. The
// result is the chosen full path, or empty text when the user cancels. A chosen path's folder
// becomes the start of the next file dialog, open or save alike.
QString OpenFileDialog(QWidget* parent, const QString& title, const QString& filterName,
                       const QString& filterPattern, const QString& fileName,
                       const QString& initDir);
// Like OpenFileDialog, but the file need not exist; its folder must, and replacing an existing
// file is confirmed.
QString SaveFileDialog(QWidget* parent, const QString& title, const QString& filterName,
                       const QString& filterPattern, const QString& fileName,
                       const QString& initDir);

// A point size rounded to whole points, halves to the even neighbour (8.5 gives 8, 9.5 gives
// 10); nothing for a size that is not a positive 16-bit number.
std::optional<qint16> WholePoints(double points);

// Shows the font dialog preset from choice. True when a font was chosen: choice then holds its
// face, its size rounded to whole points (halves to the even neighbour) and its boldness. False
// when the user cancels or the size cannot be held; choice is then unchanged.
bool FontDialog(QWidget* parent, FontChoice& choice);

} // namespace bDialog
