#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Where the report goes: standard output, or a named file treated the way a shell's `>`
// treats it, except that a regular file is replaced only when the report is complete:
// - a regular file, new or existing, is written to a temporary file in its folder, then
//   renamed over it; an existing one must be writable for this process, and keeps its
//   permission bits, and its owner and group where the process may set them;
// - a symbolic link is followed: the link stays, the file it leads to is replaced;
// - a device, a FIFO or a socket is opened and written directly, never replaced;
// - a folder is refused.
// Failures throw std::runtime_error naming the destination and the reason. Until Commit, an
// interrupt removes the temporary file (RemoveOnSignal).
class OutputFile
{
  public:
    // Standard output.
    OutputFile();
    // A named file; a regular file does not change before Commit.
    explicit OutputFile(const std::string& path);
    // Removes the temporary file when the report was not committed; standard output gets
    // what is buffered.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Buffered: text reaches the destination in large writes. Inline, as it runs several
    // times for every report line.
    void Write(std::string_view text)
    {
        if (text.size() > m_buffer.size() - m_fill)
            return WriteLong(text);
        std::memcpy(m_buffer.data() + m_fill, text.data(), text.size());
        m_fill += text.size();
    }

    // True when the report goes straight to a terminal.
    bool IsTerminal() const { return isatty(m_fd) == 1; }

    // Writes out the rest; a regular file then takes the temporary file's place.
    void Commit();

  private:
    void OpenDirect();
    void OpenReplacement(const std::string& target, const struct stat* existing);
    void Discard();
    void WriteLong(std::string_view text);
    void Flush();
    void WriteOut(std::string_view text);
    [[noreturn]] void Fail(int error) const;

    int m_fd = 1;
    std::string m_path;       // as given, for messages
    std::string m_targetPath; // the regular file that the report replaces
    std::string m_tempPath;   // empty unless a replacement is being written
    std::vector<char> m_buffer;
    std::size_t m_fill = 0;
};
