#include "outputfile.h"

#include "removeonsignal.h"
#include "visiblename.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::string_view kTempSuffix = ".XXXXXX";
// The kernel's limit on links in one path.
constexpr int kMaxLinks = 40;

// The permissions a new file gets from open(): 0666 less the umask.
mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Where a chain of symbolic links ends: the path itself when it is no link. The end need not
// exist (a dangling link names the file to create). Empty, with errno set, on failure.
std::string LinkEnd(std::string path)
{
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return errno == EINVAL || errno == ENOENT ? path : std::string();
        if (static_cast<std::size_t>(length) == target.size()) {
            errno = ENAMETOOLONG;
            return {};
        }
        const std::string_view next(target.data(), static_cast<std::size_t>(length));
        // A relative link is read from the folder that holds it.
        const std::size_t slash = path.rfind('/');
        if (next.starts_with('/') || slash == std::string::npos)
            path = next;
        else
            path = path.substr(0, slash + 1) + std::string(next);
    }
    errno = ELOOP;
    return {};
}

// The temporary file's name pattern beside target: the target's name and a random suffix,
// the name cut so that it stays within the folder's limit on name length.
std::string TempPattern(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = target.substr(slash == std::string::npos ? 0 : slash + 1);
    const long nameMax = pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t limit = nameMax > 0 ? static_cast<std::size_t>(nameMax) : NAME_MAX;
    std::size_t keep = std::min(name.size(), limit - kTempSuffix.size());
    // Not in the middle of a UTF-8 character, which some file systems refuse.
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return target.substr(0, target.size() - name.size()) + name.substr(0, keep) +
           std::string(kTempSuffix);
}

} // namespace

OutputFile::OutputFile() = default;

OutputFile::OutputFile(const std::string& path) : m_path(path)
{
    struct stat existing
    {
    };
    if (stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            Fail(EISDIR);
        if (!S_ISREG(existing.st_mode)) {
            OpenDirect();
            return;
        }
        // The shell's `>` would open it for writing: what it refuses, the report refuses too,
        // for the file's owner, for others and for root alike.
        const int probe = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (probe < 0)
            Fail(errno);
        close(probe);
    } else if (errno != ENOENT) {
        Fail(errno);
    }
    const bool exists = S_ISREG(existing.st_mode);
    const std::string target = LinkEnd(path);
    if (target.empty())
        Fail(errno);
    // "dir/", or a link to a folder that does not exist yet.
    if (target.ends_with('/'))
        Fail(EISDIR);
    OpenReplacement(target, exists ? &existing : nullptr);
}

void OutputFile::OpenDirect()
{
    m_fd = open(m_path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0)
        Fail(errno);
}

void OutputFile::OpenReplacement(const std::string& target, const struct stat* existing)
{
    m_targetPath = target;
    m_tempPath = TempPattern(target);
    // Known to the signal handler before the file exists, so that no moment is left uncovered.
    RemoveOnSignal(m_tempPath.c_str());
    m_fd = mkstemp(m_tempPath.data());
    if (m_fd < 0) {
        const int error = errno;
        RemoveOnSignal(nullptr);
        m_tempPath.clear();
        Fail(error);
    }
    mode_t mode = NewFileMode();
    if (existing != nullptr) {
        mode = existing->st_mode & 07777;
        // Owner before mode, as a change of owner clears the set-ID bits. A process that may
        // not give the file away may still keep its group.
        if (fchown(m_fd, existing->st_uid, existing->st_gid) != 0 &&
            fchown(m_fd, static_cast<uid_t>(-1), existing->st_gid) != 0) {
            // The report then belongs to this process, as a new file would.
        }
    }
    if (fchmod(m_fd, mode) != 0) {
        const int error = errno;
        Discard();
        Fail(error);
    }
}

OutputFile::~OutputFile()
{
    if (m_tempPath.empty()) {
        // Standard output, or a file written directly, keeps a failed run's report as far as
        // it got, its last line saying where the run stopped; a failure to write it adds
        // nothing to the error being shown.
        try {
            Flush();
        } catch (const std::exception&) {
        }
    }
    Discard();
}

void OutputFile::Discard()
{
    if (!m_path.empty() && m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    if (m_tempPath.empty())
        return;
    unlink(m_tempPath.c_str());
    RemoveOnSignal(nullptr);
    m_tempPath.clear();
}

void OutputFile::WriteLong(std::string_view text)
{
    Flush();
    if (text.size() > kBufferSize)
        return WriteOut(text);
    std::memcpy(m_buffer.get(), text.data(), text.size());
    m_fill = text.size();
}

void OutputFile::Commit()
{
    Flush();
    if (m_path.empty())
        return;
    const bool replacing = !m_tempPath.empty();
    if (replacing && fsync(m_fd) != 0) {
        const int error = errno;
        Discard();
        Fail(error);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0 ||
        (replacing && std::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0)) {
        const int error = errno;
        Discard();
        Fail(error);
    }
    if (replacing) {
        RemoveOnSignal(nullptr);
        m_tempPath.clear();
    }
}

void OutputFile::Flush()
{
    WriteOut(std::string_view(m_buffer.get(), m_fill));
    m_fill = 0;
}

void OutputFile::WriteOut(std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = write(m_fd, text.data(), text.size());
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
    const std::string where =
        m_path.empty() ? std::string("standard output") : bVarious::VisibleName(m_path);
    throw std::runtime_error("Cannot write the report to " + where + ": " +
                             std::generic_category().message(error));
}
