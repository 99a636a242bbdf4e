#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Where the report goes: standard output, or a named file treated the way a shell's `>`
// treats it, except that a regular file is replaced only when the report is complete:
// - one of the program's own descriptors (`/dev/stdout`, `/dev/stderr`, `/dev/fd/N`,
//   `/proc/self/fd/N`) is written through that descriptor, at its position, as standard
//   output is: nothing it already holds is lost;
// - a regular file, new or existing, is written to a temporary file in its folder, then
//   renamed over it; an existing one must be writable for this process, and keeps its
//   permission bits, owner, group, ACL and extended attributes;
// - an existing regular file that such a replacement cannot keep what it was (its folder is
//   not writable, it has other links, its owner, group or attributes cannot be given to a
//   new file, or the rename is refused) is written in place: it is emptied when the first
//   bytes of the report are written, so a run that fails before then leaves it as it was;
// - a symbolic link is followed: the link stays, the file it leads to is written;
// - a device, a FIFO or a socket is opened and written directly, never replaced;
// - a folder is refused.
// Failures throw std::runtime_error naming the destination and the reason. Until Commit, a
// signal that ends the program removes the temporary file (RemoveOnSignal).
class OutputFile
{
  public:
    // Standard output.
    OutputFile();
    // A named file; a file it replaces does not change before Commit, one it writes in place
    // not before the first bytes are written.
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
        if (text.size() > kBufferSize - m_fill)
            return WriteLong(text);
        std::memcpy(m_buffer.get() + m_fill, text.data(), text.size());
        m_fill += text.size();
    }

    // The text and a CR LF line break, in one step for the common short line.
    void WriteLine(std::string_view text)
    {
        if (text.size() + 2 > kBufferSize - m_fill) {
            Write(text);
            return Write("\r\n");
        }
        char* out = m_buffer.get() + m_fill;
        std::memcpy(out, text.data(), text.size());
        out[text.size()] = '\r';
        out[text.size() + 1] = '\n';
        m_fill += text.size() + 2;
    }

    // True when the report goes straight to a terminal.
    bool IsTerminal() const { return isatty(m_fd) == 1; }

    // Writes out the rest; a regular file then takes the temporary file's place.
    void Commit();

  private:
    void OpenDirect();
    bool OpenReplacement(const std::string& target, const struct stat& existing);
    void CreateTemporary(const std::string& target, mode_t mode);
    bool KeepsWhatTheTargetWas();
    void CopyIntoTarget();
    void Discard();
    void WriteLong(std::string_view text);
    void Flush();
    void WriteOut(std::string_view text);
    [[noreturn]] void Fail(int error) const;

    int m_fd = 1;
    bool m_ownsFd = false;          // opened here, so closed here
    bool m_truncatePending = false; // written in place, and not yet emptied
    int m_targetFd = -1;            // the existing file being replaced, open for writing
    std::string m_path;             // as given, for messages
    std::string m_targetPath;       // the regular file that the report replaces
    std::string m_tempPath;         // empty unless a replacement is being written
    // Large enough that writes are few, small enough that its pages are soon touched: they
    // are not filled in advance, since a short report would pay for the whole buffer.
    static constexpr std::size_t kBufferSize = 256 * 1024;
    std::unique_ptr<char[]> m_buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    std::size_t m_fill = 0;
};
