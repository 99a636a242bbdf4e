#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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
};

// Opens a regular file. A folder, a FIFO or a device is refused at once, without waiting
// for a writer.
std::unique_ptr<FileSource> OpenFileSource(const std::string& path);

// The length of the regular file at path.
std::uint64_t FileLength(const std::string& path);

} // namespace bFile
