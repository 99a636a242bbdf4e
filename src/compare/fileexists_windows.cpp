#include "fileexists.h"
#include "widepath_windows.h"

#include <windows.h>

namespace bFile {

bool FileExists(const std::string& path)
{
    if (path.empty())
        return false;
    // Opened for no access at all: a device name such as "NUL" shows itself only this way.
    const HANDLE file = CreateFileW(WidePath(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular = GetFileType(file) == FILE_TYPE_DISK &&
                         GetFileInformationByHandle(file, &info) &&
                         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    CloseHandle(file);
    return regular;
}

} // namespace bFile
