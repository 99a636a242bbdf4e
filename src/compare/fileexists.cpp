#include "fileexists.h"

#include <filesystem>
#include <system_error>

namespace bFile {

bool FileExists(const std::string& path)
{
    if (path.empty())
        return false;
    try {
        std::error_code error;
        return std::filesystem::is_regular_file(std::filesystem::path(path), error);
    } catch (...) {
        // Building the path may throw (allocation, an encoding the platform refuses).
        return false;
    }
}

} // namespace bFile
