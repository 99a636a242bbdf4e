#pragma once

#include <QMessageBox>

namespace bVarious {

// Shows a modal message box whose text is shown as it is: a path or a searched text that
// happens to look like markup is never rendered as such. Every message box of the program
// goes through here. Returns the button pressed; Esc and the close box give the Cancel or No
// button when there is one. Without a default button the box picks its usual one.
QMessageBox::StandardButton
PlainMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

} // namespace bVarious
