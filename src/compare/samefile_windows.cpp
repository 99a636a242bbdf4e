#include "samefile.h"
#include "widepath_windows.h"

#include <optional>
#include <utility>
#include <windows.h>

namespace bFile {

namespace {

// The volume serial number and the file index of the file at path. Opening asks for no
// access at all, so that a file others hold open, or a folder, can be looked at too.
std::optional<std::pair<DWORD, std::uint64_t>> Identity(const std::string& path)
{
    const HANDLE file = CreateFileW(WidePath(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!known)
        return std::nullopt;
    return std::pair{info.dwVolumeSerialNumber,
                     std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
}

} // namespace

bool SameFile(const std::string& a, const std::string& b)
{
    const auto identityA = Identity(a);
    return identityA && identityA == Identity(b);
}

} // namespace bFile
