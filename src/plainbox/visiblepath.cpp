#include "visiblepath.h"

#include "enginepath.h"
#include "visiblename.h"

namespace bVarious {

QString VisiblePath(const QString& path)
{
    return QString::fromStdString(VisibleName(EnginePath(path)));
}

} // namespace bVarious
