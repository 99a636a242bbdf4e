#include "enginepath.h"

#include <QFile>

namespace bVarious {

std::string EnginePath(const QString& path)
{
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

} // namespace bVarious
