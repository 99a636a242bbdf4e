#include "filesource.h"

#include "systemfile.h"

#include <algorithm>
#include <vector>

namespace bFile {

namespace {

// A file held whole in memory; its length is what reading it gave.
class WholeFileSource final : public FileSource
{
  public:
    explicit WholeFileSource(std::vector<unsigned char> bytes) : m_bytes(std::move(bytes)) {}

    void Seek(std::uint64_t position) override { m_position = position; }

    std::size_t Read(unsigned char* into, std::size_t count) override
    {
        if (m_position >= m_bytes.size())
            return 0;
        const auto got =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, m_bytes.size() - m_position));
        std::copy_n(m_bytes.data() + m_position, got, into);
        m_position += got;
        return got;
    }

    std::uint64_t Size() override { return m_bytes.size(); }

  private:
    std::vector<unsigned char> m_bytes;
    std::uint64_t m_position = 0;
};

// Reads the file to its end, at most kWholeReadLimit bytes.
std::unique_ptr<FileSource> ReadWhole(FileSource& file)
{
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<unsigned char> bytes;
    for (;;) {
        const std::size_t filled = bytes.size();
        if (filled > kWholeReadLimit)
            throw FileSourceError("the system does not report its size, and reading it gives "
                                  "more than " +
                                  std::to_string(kWholeReadLimit >> 20) + " MiB");
        bytes.resize(filled + kChunk);
        bytes.resize(filled + file.Read(bytes.data() + filled, kChunk));
        if (bytes.size() == filled)
            return std::make_unique<WholeFileSource>(std::move(bytes));
    }
}

} // namespace

bool SameContents(const FileState& then, const FileState& now)
{
    return then.size == now.size && then.device == now.device && then.inode == now.inode &&
           then.modified == now.modified &&
           (then.changed == now.changed || then.links != now.links);
}

std::unique_ptr<FileSource> OpenFileSource(const std::string& path)
{
    bool sizeIsReported = true;
    std::unique_ptr<FileSource> source = OpenSystemFile(path, sizeIsReported);
    if (!sizeIsReported)
        return ReadWhole(*source);
    return source;
}

} // namespace bFile
