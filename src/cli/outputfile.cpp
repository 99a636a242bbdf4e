#include "outputfile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

// The permissions a new file gets from open(): 0666 less the umask.
mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

OutputFile::OutputFile() : buffer_(kBufferSize) {}

OutputFile::OutputFile(const std::string& path)
    : path_(path), tempPath_(path + ".XXXXXX"), buffer_(kBufferSize)
{
    std::vector<char> name(tempPath_.begin(), tempPath_.end());
    name.push_back('\0');
    fd_ = mkstemp(name.data());
    if (fd_ < 0)
        Fail(errno);
    tempPath_.assign(name.data());
    // A replaced file keeps its permissions; a new one gets the usual ones, not mkstemp's 0600.
    struct stat existing
    {
    };
    const mode_t mode =
        stat(path_.c_str(), &existing) == 0 ? existing.st_mode & 07777 : NewFileMode();
    if (fchmod(fd_, mode) != 0)
        Fail(errno);
}

OutputFile::~OutputFile()
{
    if (tempPath_.empty()) {
        // Standard output keeps a failed run's report as far as it got, its last line saying
        // where the run stopped; a failure to write it adds nothing to the error being shown.
        try {
            Flush();
        } catch (const std::exception&) {
        }
        return;
    }
    close(fd_);
    unlink(tempPath_.c_str());
}

void OutputFile::WriteLong(std::string_view text)
{
    Flush();
    if (text.size() > buffer_.size())
        return WriteOut(text);
    std::memcpy(buffer_.data(), text.data(), text.size());
    fill_ = text.size();
}

void OutputFile::Commit()
{
    Flush();
    if (tempPath_.empty())
        return;
    if (fsync(fd_) != 0)
        Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        const int error = errno;
        unlink(tempPath_.c_str());
        tempPath_.clear();
        Fail(error);
    }
    if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        unlink(tempPath_.c_str());
        tempPath_.clear();
        Fail(error);
    }
    tempPath_.clear();
}

void OutputFile::Flush()
{
    WriteOut(std::string_view(buffer_.data(), fill_));
    fill_ = 0;
}

void OutputFile::WriteOut(std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = write(fd_, text.data(), text.size());
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
    const std::string where = path_.empty() ? std::string("standard output") : path_;
    throw std::runtime_error("Cannot write the report to " + where + ": " +
                             std::generic_category().message(error));
}
