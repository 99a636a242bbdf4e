#include "systemfile.h"
#include "widepath_windows.h"

#include <algorithm>
#include <windows.h>

namespace bFile {

namespace {

// The system's file times count 100 ns steps from 1601.
constexpr std::int64_t kEpochIn1601 = 116'444'736'000'000'000;

std::int64_t Nanoseconds(std::int64_t fileTime)
{
    return (fileTime - kEpochIn1601) * 100;
}

std::int64_t Nanoseconds(const FILETIME& time)
{
    return Nanoseconds(
        static_cast<std::int64_t>(std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime));
}

[[noreturn]] void ThrowSystemError(DWORD error)
{
    throw FileSourceError(SystemErrorText(error));
}

[[noreturn]] void ThrowNotRegular()
{
    throw FileSourceError("not a regular file");
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class HandleSource final : public FileSource
{
  public:
    HandleSource() = default;
    ~HandleSource() override
    {
        if (m_file != INVALID_HANDLE_VALUE)
            CloseHandle(m_file);
    }
    HandleSource(const HandleSource&) = delete;
    HandleSource& operator=(const HandleSource&) = delete;

    void Open(const std::string& path)
    {
        const std::wstring wide = WidePath(path);
        // Others may go on writing, renaming and deleting it, as on other systems; what that
        // does to the run is told by State().
        m_file = CreateFileW(wide.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            // A folder cannot be opened this way at all.
            if (error == ERROR_ACCESS_DENIED && IsFolder(wide))
                ThrowNotRegular();
            ThrowSystemError(error);
        }
        // A console, a printer port or a pipe.
        if (GetFileType(m_file) != FILE_TYPE_DISK)
            ThrowNotRegular();
        Size();
    }

    void Seek(std::uint64_t position) override
    {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(position);
        if (position > static_cast<std::uint64_t>(INT64_MAX) ||
            !SetFilePointerEx(m_file, to, nullptr, FILE_BEGIN))
            ThrowSystemError(position > static_cast<std::uint64_t>(INT64_MAX) ? ERROR_NEGATIVE_SEEK
                                                                              : GetLastError());
    }

    std::size_t Read(unsigned char* into, std::size_t count) override
    {
        constexpr std::size_t kMostAtOnce = 1u << 30;
        DWORD got = 0;
        if (!ReadFile(m_file, into, static_cast<DWORD>(std::min(count, kMostAtOnce)), &got,
                      nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF)
                return 0;
            ThrowSystemError(error);
        }
        return got;
    }

    std::uint64_t Size() override { return State().size; }

    // Which file it is comes from the volume's serial number and the file's index on it; the
    // times have 100 ns steps. The change time is the file system's own, which a rewrite of
    // the data or the attributes sets.
    FileState State() override
    {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(m_file, &info))
            ThrowSystemError(GetLastError());
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            ThrowNotRegular();
        FILE_BASIC_INFO basic{};
        std::int64_t changed = Nanoseconds(info.ftLastWriteTime);
        if (GetFileInformationByHandleEx(m_file, FileBasicInfo, &basic, sizeof basic))
            changed = Nanoseconds(basic.ChangeTime.QuadPart);
        return FileState{.size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow,
                         .device = info.dwVolumeSerialNumber,
                         .inode = std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow,
                         .links = info.nNumberOfLinks,
                         .modified = Nanoseconds(info.ftLastWriteTime),
                         .changed = changed};
    }

  private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
};

} // namespace

std::unique_ptr<FileSource> OpenSystemFile(const std::string& path, bool& sizeIsReported)
{
    auto source = std::make_unique<HandleSource>();
    source->Open(path);
    // A reported 0 is not trusted: reading an empty file costs nothing.
    sizeIsReported = source->Size() != 0;
    return source;
}

std::optional<std::uint64_t> ReportedLength(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &info))
        ThrowSystemError(GetLastError());
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        ThrowNotRegular();
    const std::uint64_t size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
    if (size == 0)
        return std::nullopt;
    return size;
}

} // namespace bFile
