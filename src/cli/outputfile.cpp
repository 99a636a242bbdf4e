#include "outputfile.h"

#include "extendedattributes.h"
#include "outputpath.h"
#include "removeonsignal.h"
#include "visiblename.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace {

// Between the target's name and the random part, so that a temporary file left by SIGKILL
// or a crash is known for what it is.
constexpr std::string_view kTempMark = ".lumatra-report-";
constexpr std::size_t kRandomLength = 6;
constexpr int kTempAttempts = 100;

// The temporary file's name beside target without its random part: the target's name, cut
// so that the whole stays within the folder's limit on name length, and the mark.
std::string TempPrefix(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = target.substr(slash == std::string::npos ? 0 : slash + 1);
    const long nameMax = pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t limit = nameMax > 0 ? static_cast<std::size_t>(nameMax) : NAME_MAX;
    std::size_t keep = std::min(name.size(), limit - kTempMark.size() - kRandomLength);
    // Not in the middle of a UTF-8 character, which some file systems refuse.
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return target.substr(0, target.size() - name.size()) + name.substr(0, keep) +
           std::string(kTempMark);
}

// True for the failures of rename that a write in place does not meet: a folder that keeps
// others' files (sticky), a file mounted in its place, a security policy.
bool RenameRefused(int error)
{
    return error == EPERM || error == EACCES || error == EBUSY;
}

} // namespace

OutputFile::OutputFile()
{
    RemoveOnSignal(nullptr);
}

OutputFile::OutputFile(const std::string& path) : m_path(path)
{
    RemoveOnSignal(nullptr);
    const OutputPath where = ResolveOutputPath(path);
    if (where.descriptor >= 0) {
        const int flags = fcntl(where.descriptor, F_GETFL);
        if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY)
            Fail(EBADF);
        m_fd = where.descriptor;
        return;
    }
    if (where.end.empty())
        Fail(errno);
    struct stat existing
    {
    };
    if (stat(path.c_str(), &existing) != 0) {
        if (errno != ENOENT)
            Fail(errno);
        // "dir/", or a link to a folder that does not exist yet.
        if (where.end.ends_with('/'))
            Fail(EISDIR);
        m_targetPath = where.end;
        // As `>` creates it: the umask or the folder's default ACL decide its permissions.
        CreateTemporary(where.end, 0666);
        return;
    }
    if (S_ISDIR(existing.st_mode))
        Fail(EISDIR);
    if (!S_ISREG(existing.st_mode)) {
        OpenDirect();
        return;
    }
    // The shell's `>` would open it for writing: what it refuses, the report refuses too,
    // for the file's owner, for others and for root alike.
    m_fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        Fail(errno);
    m_ownsFd = true;
    if (fstat(m_fd, &existing) != 0)
        Fail(errno);
    if (!S_ISREG(existing.st_mode)) {
        // Put in the file's place meanwhile: written as such a file is.
        close(m_fd);
        OpenDirect();
        return;
    }
    if (where.kernelLink || existing.st_nlink > 1 || !OpenReplacement(where.end, existing))
        m_truncatePending = true;
}

// Opens the target itself for writing in place, as m_fd; fails with the error.
void OutputFile::OpenDirect()
{
    m_fd = open(m_path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0)
        Fail(errno);
    m_ownsFd = true;
}

// Starts a temporary file for the existing target, open as m_fd, that keeps its owner, group
// and extended attributes; its mode follows at Commit, since writing may clear set-ID bits.
// False, with the target still open as m_fd, when the file would not be what the target was.
bool OutputFile::OpenReplacement(const std::string& target, const struct stat& existing)
{
    const int targetFd = m_fd;
    m_targetPath = target;
    try {
        CreateTemporary(target, 0600);
    } catch (const std::exception&) {
        m_fd = targetFd;
        return false;
    }
    m_targetFd = targetFd;
    // Owner and group before the attributes, as a change of owner clears some of them.
    if (fchown(m_fd, existing.st_uid, existing.st_gid) != 0 ||
        !CopyExtendedAttributes(m_targetFd, m_fd)) {
        m_targetFd = -1;
        Discard();
        m_fd = targetFd;
        m_ownsFd = true;
        return false;
    }
    return true;
}

// Creates the temporary file beside target with the given permissions and makes it m_fd.
void OutputFile::CreateTemporary(const std::string& target, mode_t mode)
{
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    const std::string prefix = TempPrefix(target);
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        m_tempPath = prefix;
        for (std::size_t i = 0; i < kRandomLength; ++i)
            m_tempPath += kLetters[pick(source)];
        // No signal between creating the file and telling the handler: it removes only what
        // this program made.
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &previous);
        m_fd = open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, mode);
        const int error = errno;
        if (m_fd >= 0)
            RemoveOnSignal(m_tempPath.c_str());
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        if (m_fd >= 0) {
            m_ownsFd = true;
            return;
        }
        m_tempPath.clear();
        if (error != EEXIST)
            Fail(error);
    }
    Fail(EEXIST);
}

OutputFile::~OutputFile()
{
    if (m_tempPath.empty() && !m_truncatePending) {
        // Standard output, or a file written directly, keeps a failed run's report as far as
        // it got, its last line saying where the run stopped; a failure to write it adds
        // nothing to the error being shown. A file written in place that was not emptied yet
        // keeps what it held.
        try {
            Flush();
        } catch (const std::exception&) {
        }
    }
    Discard();
}

// Closes what is open and removes the temporary file, if any: a failed run leaves the target
// as it was.
void OutputFile::Discard()
{
    if (m_ownsFd && m_fd >= 0)
        close(m_fd);
    m_ownsFd = false;
    m_fd = -1;
    if (m_targetFd >= 0)
        close(m_targetFd);
    m_targetFd = -1;
    if (m_tempPath.empty())
        return;
    unlink(m_tempPath.c_str());
    RemoveOnSignal(nullptr);
    m_tempPath.clear();
}

void OutputFile::Commit()
{
    Flush();
    if (!m_ownsFd)
        return;
    if (!m_tempPath.empty()) {
        if (!KeepsWhatTheTargetWas())
            return CopyIntoTarget();
        if (fsync(m_fd) != 0)
            Fail(errno);
    }
    const int fd = m_fd;
    m_ownsFd = false;
    if (close(fd) != 0)
        Fail(errno);
    if (m_tempPath.empty())
        return;
    if (std::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0) {
        if (!RenameRefused(errno) || m_targetFd < 0)
            Fail(errno);
        return CopyIntoTarget();
    }
    RemoveOnSignal(nullptr);
    m_tempPath.clear();
    Discard();
}

// Gives the finished replacement the target's mode and attributes as they are now; false
// when it cannot have them. A new file has nothing to keep.
bool OutputFile::KeepsWhatTheTargetWas()
{
    struct stat target
    {
    };
    return m_targetFd < 0 ||
           (fstat(m_targetFd, &target) == 0 && CopyExtendedAttributes(m_targetFd, m_fd) &&
            fchmod(m_fd, target.st_mode & 07777) == 0);
}

// Writes the finished report from the temporary file into the target itself, for a target
// that the replacement cannot take the place of, then removes the temporary file.
void OutputFile::CopyIntoTarget()
{
    if (m_ownsFd)
        close(m_fd);
    const int source = open(m_tempPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        m_ownsFd = false;
        Fail(errno);
    }
    m_fd = m_targetFd;
    m_targetFd = -1;
    m_ownsFd = true;
    m_truncatePending = true;
    try {
        for (;;) {
            const ssize_t length = read(source, m_buffer.get(), kBufferSize);
            if (length < 0 && errno == EINTR)
                continue;
            if (length < 0)
                Fail(errno);
            WriteOut(std::string_view(m_buffer.get(), static_cast<std::size_t>(length)));
            if (length == 0)
                break;
        }
    } catch (const std::exception&) {
        close(source);
        throw;
    }
    close(source);
    const int fd = m_fd;
    m_ownsFd = false;
    if (close(fd) != 0)
        Fail(errno);
    Discard();
}

// Writes out what is buffered.
// Writes all of text to m_fd, emptying the target first where that is still to be done;
// fails with the error.
void OutputFile::WriteOut(std::string_view text)
{
    // Emptied as `>` empties it, as late as can be: what it held stays until the report
    // has something to put in its place.
    if (m_truncatePending) {
        if (ftruncate(m_fd, 0) != 0)
            Fail(errno);
        m_truncatePending = false;
    }
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

// Throws the message for a failed write of the report, naming the output.
void OutputFile::Fail(int error) const
{
    const std::string where =
        m_path.empty() ? std::string("standard output") : bVarious::VisibleName(m_path);
    // The limit a shell sets with `ulimit -f`, rather than the file system's "File too large".
    rlimit limit{};
    const bool sizeLimited =
        error == EFBIG && getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
    throw std::runtime_error("Cannot write the report to " + where + ": " +
                             (sizeLimited ? std::string("File size limit exceeded")
                                          : std::generic_category().message(error)));
}
