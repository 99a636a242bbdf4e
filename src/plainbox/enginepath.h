#pragma once

#include <QString>
#include <string>

namespace bVarious {

// A path as the engine takes it: the file system's own bytes on POSIX systems; UTF-8 on
// Windows, where the engine turns it into UTF-16 at the system's edge (the ANSI code page
// would lose most characters).
std::string EnginePath(const QString& path);

} // namespace bVarious
