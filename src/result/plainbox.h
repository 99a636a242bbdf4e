#pragma once

#include <QMessageBox>

namespace bVarious {

// Shows a modal message box whose text is shown as it is: a path or a searched text that
// happens to look like markup is never rendered as such. Returns the button pressed; Esc and
// the close box give the Cancel or No button when there is one.
QMessageBox::StandardButton PlainMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons);

} // namespace bVarious
