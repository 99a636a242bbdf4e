#pragma once

#include <string>

namespace bFile {

// True only when the path names an existing regular file, symbolic links followed: never a
// folder, a FIFO or a device. Never fails: any error gives false.
bool FileExists(const std::string& path);

} // namespace bFile
