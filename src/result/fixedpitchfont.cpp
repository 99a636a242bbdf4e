#include "fixedpitchfont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

bool IsFixedPitch(const QFont& font)
{
    return QFontInfo(font).fixedPitch();
}

} // namespace

QFont FixedPitchFont(const QFont& wanted)
{
    QFont chosen = wanted;
    chosen.setStyleHint(QFont::TypeWriter);
    if (IsFixedPitch(chosen))
        return chosen;
    QStringList candidates = {QFontDatabase::systemFont(QFontDatabase::FixedFont).family(),
                              u"Courier New"_s,
                              u"Liberation Mono"_s,
                              u"DejaVu Sans Mono"_s,
                              u"Consolas"_s,
                              u"Lucida Console"_s,
                              u"Courier"_s};
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isFixedPitch(family))
            candidates.append(family);
    }
    for (const QString& family : candidates) {
        QFont fixed = chosen;
        fixed.setFamilies({wanted.family(), family});
        if (IsFixedPitch(fixed))
            return fixed;
    }
    return chosen;
}
