#include "filesource.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace bFile {

namespace {

#ifdef _WIN32
using StatBuffer = struct _stat64;
int StatPath(const char* path, StatBuffer* info)
{
    return _stat64(path, info);
}
int StatFile(int fd, StatBuffer* info)
{
    return _fstat64(fd, info);
}
bool IsRegular(const StatBuffer& info)
{
    return (info.st_mode & _S_IFMT) == _S_IFREG;
}
// Whole seconds only; st_ctime is the creation time there, which a rewrite leaves alone.
std::int64_t ModifiedTime(const StatBuffer& info)
{
    return std::int64_t{info.st_mtime} * 1'000'000'000;
}
std::int64_t ChangedTime(const StatBuffer& info)
{
    return std::int64_t{info.st_ctime} * 1'000'000'000;
}
#else
using StatBuffer = struct stat;
int StatPath(const char* path, StatBuffer* info)
{
    return stat(path, info);
}
int StatFile(int fd, StatBuffer* info)
{
    return fstat(fd, info);
}
bool IsRegular(const StatBuffer& info)
{
    return S_ISREG(info.st_mode);
}
std::int64_t Nanoseconds(const timespec& time)
{
    return std::int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec;
}
std::int64_t ModifiedTime(const StatBuffer& info)
{
    return Nanoseconds(info.st_mtim);
}
std::int64_t ChangedTime(const StatBuffer& info)
{
    return Nanoseconds(info.st_ctim);
}
#endif

[[noreturn]] void ThrowErrno(int error)
{
    throw FileSourceError(std::generic_category().message(error));
}

[[noreturn]] void ThrowNotRegular()
{
    throw FileSourceError("not a regular file");
}

std::uint64_t RegularSize(const StatBuffer& info)
{
    if (!IsRegular(info))
        ThrowNotRegular();
    return static_cast<std::uint64_t>(info.st_size);
}

class DescriptorSource final : public FileSource
{
  public:
    DescriptorSource() = default;
    ~DescriptorSource() override
    {
        if (fd_ < 0)
            return;
#ifdef _WIN32
        _close(fd_);
#else
        close(fd_);
#endif
    }
    DescriptorSource(const DescriptorSource&) = delete;
    DescriptorSource& operator=(const DescriptorSource&) = delete;

    void Open(const std::string& path)
    {
#ifdef _WIN32
        fd_ = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
        // Non-blocking, so that a FIFO put in the file's place does not wait for a writer; it
        // is refused by the size check. Reads of a regular file ignore the flag.
        fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
#endif
        if (fd_ < 0)
            ThrowErrno(errno);
        Size();
    }

    void Seek(std::uint64_t position) override
    {
        if (position > static_cast<std::uint64_t>(LLONG_MAX))
            ThrowErrno(EINVAL);
#ifdef _WIN32
        if (_lseeki64(fd_, static_cast<__int64>(position), SEEK_SET) < 0)
#else
        if (lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0)
#endif
            ThrowErrno(errno);
    }

    std::size_t Read(unsigned char* into, std::size_t count) override
    {
        for (;;) {
#ifdef _WIN32
            const int got =
                _read(fd_, into, static_cast<unsigned>(count < INT_MAX ? count : INT_MAX));
#else
            const ssize_t got = read(fd_, into, count < SSIZE_MAX ? count : SSIZE_MAX);
#endif
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR)
                ThrowErrno(errno);
        }
    }

    std::uint64_t Size() override
    {
        StatBuffer info{};
        if (StatFile(fd_, &info) != 0)
            ThrowErrno(errno);
        return RegularSize(info);
    }

    // From the descriptor, not the path: a file put in this one's place by a rename is
    // another file, and this one is still what is read.
    FileState State() override
    {
        StatBuffer info{};
        if (StatFile(fd_, &info) != 0)
            ThrowErrno(errno);
        return FileState{.size = RegularSize(info),
                         .device = static_cast<std::uint64_t>(info.st_dev),
                         .inode = static_cast<std::uint64_t>(info.st_ino),
                         .links = static_cast<std::uint64_t>(info.st_nlink),
                         .modified = ModifiedTime(info),
                         .changed = ChangedTime(info)};
    }

  private:
    int fd_ = -1;
};

} // namespace

bool SameContents(const FileState& then, const FileState& now)
{
    return then.size == now.size && then.device == now.device && then.inode == now.inode &&
           then.modified == now.modified &&
           (then.changed == now.changed || then.links != now.links);
}

std::unique_ptr<FileSource> OpenFileSource(const std::string& path)
{
    auto source = std::make_unique<DescriptorSource>();
    source->Open(path);
    return source;
}

std::uint64_t FileLength(const std::string& path)
{
    StatBuffer info{};
    if (StatPath(path.c_str(), &info) != 0)
        ThrowErrno(errno);
    return RegularSize(info);
}

} // namespace bFile
