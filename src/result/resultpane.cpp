#include "resultpane.h"

#include <QFontDatabase>
#include <QFontInfo>

ResultPane::ResultPane(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

void ResultPane::applyFont(const QFont& font)
{
    QFont chosen = font;
    chosen.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(chosen).fixedPitch()) {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(font.pointSizeF());
        fixed.setBold(font.bold());
        // Keep the requested face name, so the settings store gets back what the user chose.
        fixed.setFamilies({font.family(), fixed.family()});
        chosen = fixed;
    }
    setFont(chosen);
}
