#include "visiblepath.h"

#include "visiblename.h"

#include <QFile>

namespace bVarious {

QString VisiblePath(const QString& path)
{
    return QString::fromStdString(VisibleName(QFile::encodeName(path).toStdString()));
}

} // namespace bVarious
