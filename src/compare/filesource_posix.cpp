#include "systemfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <system_error>
#include <unistd.h>
#include <vector>
#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace bFile {

namespace {

// The file's state from the system: StatPath and StatFile fill a StatBuffer (0 when they
// could), IsRegular tells a regular file, ModifiedTime and ChangedTime give nanoseconds.
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

#ifdef __linux__
// The kernel's own file systems: their files report a size (0, or a page) that says nothing
// of what reading them gives.
bool IsKernelFileSystem(const struct statfs& info)
{
    switch (info.f_type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
        return true;
    default:
        return false;
    }
}
bool OnKernelFileSystem(const char* path)
{
    struct statfs info
    {
    };
    return statfs(path, &info) == 0 && IsKernelFileSystem(info);
}
bool OnKernelFileSystem(int fd)
{
    struct statfs info
    {
    };
    return fstatfs(fd, &info) == 0 && IsKernelFileSystem(info);
}
#else
template <typename Where> bool OnKernelFileSystem(Where)
{
    return false;
}
#endif

// Whether the size a file reports is what reading it gives. A reported 0 is not trusted
// anywhere: reading an empty file costs nothing.
bool SizeIsReported(const StatBuffer& info, bool onKernelFileSystem)
{
    return info.st_size != 0 && !onKernelFileSystem;
}

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
        if (m_fd >= 0)
            close(m_fd);
    }
    DescriptorSource(const DescriptorSource&) = delete;
    DescriptorSource& operator=(const DescriptorSource&) = delete;

    void Open(const std::string& path)
    {
        // Non-blocking, so that a FIFO put in the file's place does not wait for a writer; it
        // is refused by the size check. Reads of a regular file ignore the flag.
        m_fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (m_fd < 0)
            ThrowErrno(errno);
        Size();
    }

    void Seek(std::uint64_t position) override
    {
        if (position > static_cast<std::uint64_t>(LLONG_MAX))
            ThrowErrno(EINVAL);
        if (lseek(m_fd, static_cast<off_t>(position), SEEK_SET) < 0)
            ThrowErrno(errno);
    }

    std::size_t Read(unsigned char* into, std::size_t count) override
    {
        for (;;) {
            const ssize_t got = read(m_fd, into, count < SSIZE_MAX ? count : SSIZE_MAX);
            if (got >= 0)
                return static_cast<std::size_t>(got);
            if (errno != EINTR)
                ThrowErrno(errno);
        }
    }

    std::uint64_t Size() override
    {
        StatBuffer info{};
        if (StatFile(m_fd, &info) != 0)
            ThrowErrno(errno);
        return RegularSize(info);
    }

    // From the descriptor, not the path: a file put in this one's place by a rename is
    // another file, and this one is still what is read.
    FileState State() override
    {
        StatBuffer info{};
        if (StatFile(m_fd, &info) != 0)
            ThrowErrno(errno);
        return FileState{.size = RegularSize(info),
                         .device = static_cast<std::uint64_t>(info.st_dev),
                         .inode = static_cast<std::uint64_t>(info.st_ino),
                         .links = static_cast<std::uint64_t>(info.st_nlink),
                         .modified = ModifiedTime(info),
                         .changed = ChangedTime(info)};
    }

    // Whether reading gives the size the file reports.
    bool SizeIsReported()
    {
        StatBuffer info{};
        if (StatFile(m_fd, &info) != 0)
            ThrowErrno(errno);
        return bFile::SizeIsReported(info, OnKernelFileSystem(m_fd));
    }

  private:
    int m_fd = -1;
};

} // namespace

std::unique_ptr<FileSource> OpenSystemFile(const std::string& path, bool& sizeIsReported)
{
    auto source = std::make_unique<DescriptorSource>();
    source->Open(path);
    sizeIsReported = source->SizeIsReported();
    return source;
}

std::optional<std::uint64_t> ReportedLength(const std::string& path)
{
    StatBuffer info{};
    if (StatPath(path.c_str(), &info) != 0)
        ThrowErrno(errno);
    const std::uint64_t size = RegularSize(info);
    if (!SizeIsReported(info, OnKernelFileSystem(path.c_str())))
        return std::nullopt;
    return size;
}

} // namespace bFile
