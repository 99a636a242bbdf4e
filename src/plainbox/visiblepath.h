#pragma once

#include <QString>

namespace bVarious {

// A path as messages and the status text show it: its bytes on disk as VisibleName shows
// them, so that the window names a file exactly as the report and lumatra-report do.
QString VisiblePath(const QString& path);

} // namespace bVarious
