#include "statustext.h"

#include <QCoreApplication>
#include <QLabel>

namespace bFile {

void ShowStatus(QLabel& panel, const QString& text)
{
    panel.setText(text);
    QCoreApplication::processEvents();
}

} // namespace bFile
