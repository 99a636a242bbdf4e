#include "plainbox.h"

#include <QGridLayout>
#include <QSpacerItem>

namespace bVarious {

namespace {

// What the title bar needs besides the title: its buttons and margins, in average characters.
constexpr int kTitleBarChars = 16;

} // namespace

QMessageBox::StandardButton PlainMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    // A short text gives a narrow box, whose title the title bar would cut to "...".
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const QFontMetrics metrics = box.fontMetrics();
        const int titleWidth =
            metrics.horizontalAdvance(title) * 5 / 4 + kTitleBarChars * metrics.averageCharWidth();
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace bVarious
