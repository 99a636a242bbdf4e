#include "outputfile.h"
#include "removeonsignal.h"
#include "visiblename.h"
#include "widepath_windows.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <random>
#include <stdexcept>
#include <system_error>
#include <windows.h>

using bFile::SystemErrorText;
using bFile::Utf8FromWide;
using bFile::WidePath;

namespace {

// The longest name a folder takes, in UTF-16 units.
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kTempSuffix = 7; // ".XXXXXX"
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

[[noreturn]] void FailWith(const std::string& path, const std::string& reason)
{
    const std::string where =
        path.empty() ? std::string("standard output") : bVarious::VisibleName(path);
    throw std::runtime_error("Cannot write the report to " + where + ": " + reason);
}

// The file an open handle leads to, links followed, as a \\?\ path.
std::wstring FinalPath(HANDLE file)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);
    }
}

// A temporary name beside target: the target's name, cut so that it stays within the
// folder's limit, not between the two halves of a character, and a random suffix.
std::wstring TempName(const std::wstring& target, std::mt19937& random)
{
    const std::size_t separator = target.find_last_of(L"\\/:");
    const std::size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
    std::size_t keep = std::min(target.size() - nameStart, kNameMax - kTempSuffix);
    if (keep > 0 && IS_HIGH_SURROGATE(target[nameStart + keep - 1]))
        --keep;
    constexpr wchar_t kLetters[] =
        L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::wstring name = target.substr(0, nameStart + keep) + L'.';
    for (std::size_t i = 1; i < kTempSuffix; ++i)
        name += kLetters[random() % (std::size(kLetters) - 1)];
    return name;
}

bool SetDeleteOnClose(HANDLE file, bool remove)
{
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

int DescriptorOf(HANDLE file)
{
    return _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
}

HANDLE HandleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

} // namespace

OutputFile::OutputFile() = default;

// The shell's `>` opens an existing file for writing: what it refuses (a read-only file, a
// file another program holds without sharing), the report refuses too. A device ("NUL",
// "COM1") is written directly; a regular file, new or existing, is replaced when the report
// is complete.
OutputFile::OutputFile(const std::string& path) : m_path(path)
{
    const std::wstring wide = WidePath(path);
    if (path.ends_with('/') || path.ends_with('\\'))
        Fail(EISDIR);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        Fail(EISDIR);
    const HANDLE probe = CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            FailWith(m_path, SystemErrorText(error));
        OpenReplacement(Utf8FromWide(wide), {});
        return;
    }
    if (GetFileType(probe) != FILE_TYPE_DISK) {
        m_fd = DescriptorOf(probe);
        if (m_fd < 0) {
            CloseHandle(probe);
            Fail(EMFILE);
        }
        m_ownsFd = true;
        return;
    }
    // A link stays, the file it leads to is replaced.
    const std::wstring target = FinalPath(probe);
    CloseHandle(probe);
    OpenReplacement(Utf8FromWide(target.empty() ? wide : target), {});
}

void OutputFile::OpenDirect() {}

// The temporary file is deleted by the system when its handle closes, however the program
// ends, until Commit takes that back; the signal handler covers the moment after.
bool OutputFile::OpenReplacement(const std::string& target, const struct stat&)
{
    m_targetPath = target;
    const std::wstring wideTarget = bFile::WideFromUtf8(target);
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temp = TempName(wideTarget, random);
        const HANDLE file =
            CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            m_targetPath.clear();
            FailWith(m_path, SystemErrorText(error));
        }
        m_tempPath = Utf8FromWide(temp);
        RemoveOnSignal(m_tempPath.c_str());
        if (!SetDeleteOnClose(file, true)) {
            const DWORD error = GetLastError();
            CloseHandle(file);
            DeleteFileW(temp.c_str());
            RemoveOnSignal(nullptr);
            m_tempPath.clear();
            FailWith(m_path, SystemErrorText(error));
        }
        m_fd = DescriptorOf(file);
        if (m_fd < 0) {
            CloseHandle(file);
            RemoveOnSignal(nullptr);
            m_tempPath.clear();
            Fail(EMFILE);
        }
        m_ownsFd = true;
        return true;
    }
    FailWith(m_path, SystemErrorText(ERROR_FILE_EXISTS));
}

OutputFile::~OutputFile()
{
    if (m_tempPath.empty()) {
        // Standard output, or a device written directly, keeps a failed run's report as far
        // as it got, its last line saying where the run stopped.
        try {
            Flush();
        } catch (const std::exception&) {
        }
    }
    Discard();
}

void OutputFile::Discard()
{
    if (m_ownsFd && m_fd >= 0)
        _close(m_fd);
    m_fd = -1;
    if (m_tempPath.empty())
        return;
    // Gone already, unless Commit had taken back the deletion.
    DeleteFileW(bFile::WideFromUtf8(m_tempPath).c_str());
    RemoveOnSignal(nullptr);
    m_tempPath.clear();
}

// Replaces with ReplaceFileW, which keeps the replaced file's attributes, security and
// creation time; a target that is not there (any more) is made by a rename.
void OutputFile::Commit()
{
    Flush();
    if (m_path.empty())
        return;
    if (m_tempPath.empty()) {
        const int fd = m_fd;
        m_fd = -1;
        if (_close(fd) != 0)
            Fail(errno);
        return;
    }
    const HANDLE file = HandleOf(m_fd);
    if (!FlushFileBuffers(file) || !SetDeleteOnClose(file, false)) {
        const DWORD error = GetLastError();
        Discard();
        FailWith(m_path, SystemErrorText(error));
    }
    _close(m_fd);
    m_fd = -1;
    const std::wstring temp = bFile::WideFromUtf8(m_tempPath);
    const std::wstring target = bFile::WideFromUtf8(m_targetPath);
    bool replaced = ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    DWORD error = replaced ? ERROR_SUCCESS : GetLastError();
    if (!replaced && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) {
        replaced = MoveFileExW(temp.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        error = replaced ? ERROR_SUCCESS : GetLastError();
    }
    if (!replaced) {
        Discard();
        FailWith(m_path, SystemErrorText(error));
    }
    RemoveOnSignal(nullptr);
    m_tempPath.clear();
}

void OutputFile::WriteOut(std::string_view text)
{
    constexpr std::size_t kMostAtOnce = 1u << 30;
    while (!text.empty()) {
        const int written =
            _write(m_fd, text.data(), static_cast<unsigned>(std::min(text.size(), kMostAtOnce)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

void OutputFile::Fail(int error) const
{
    FailWith(m_path, std::generic_category().message(error));
}
