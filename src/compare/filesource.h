#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace bFile {

// Why a file could not be opened, measured or read ("No such file or directory"). The
// engine adds which file it was.
class FileSourceError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

// What tells a file's contents apart over time, beyond its length: which file it is, how
// many names it has, and when its data (modified) or its data or attributes (changed) were
// last written, in nanoseconds since the epoch. A rewrite in place at the same size changes
// the times; the change time cannot be set back.
struct FileState
{
    std::uint64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t links = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
};

// Whether the file seen as `then` still holds the same bytes as `now`. A name added or
// removed (another file renamed over it) sets the change time too; the modification time is
// then what is left to tell.
bool SameContents(const FileState& then, const FileState& now);

// One input file, open for reading. Closed when destroyed. All failures throw
// FileSourceError.
class FileSource
{
  public:
    virtual ~FileSource() = default;

    // Moves to a byte position counted from the start of the file.
    virtual void Seek(std::uint64_t position) = 0;

    // Reads up to count bytes and returns how many came; 0 only at the end of the file.
    virtual std::size_t Read(unsigned char* into, std::size_t count) = 0;

    // The file's length now.
    virtual std::uint64_t Size() = 0;

    // The open file's state now. A source that is not backed by a file of the system has
    // only its size to tell.
    virtual FileState State() { return FileState{.size = Size()}; }
};

// The most that is read of a file whose size the system does not tell.
constexpr std::uint64_t kWholeReadLimit = 64 << 20;

// Opens a regular file. A folder, a FIFO or a device is refused at once, without waiting
// for a writer. A file whose reported size is not what reading gives (the kernel's files
// under /proc and /sys, which report 0 or a page) is read whole at once, up to
// kWholeReadLimit; its Size() is then what was read.
std::unique_ptr<FileSource> OpenFileSource(const std::string& path);

// The length of the regular file at path, or nothing when only reading it tells (as above).
std::optional<std::uint64_t> ReportedLength(const std::string& path);

} // namespace bFile
