#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Where the report goes: standard output, or a named file that is replaced only when the
// report is complete (written to a temporary file in the same folder, then renamed).
// Failures throw std::runtime_error naming the destination and the reason.
class OutputFile
{
  public:
    // Standard output.
    OutputFile();
    // A named file; nothing of it changes before Commit.
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
        if (text.size() > buffer_.size() - fill_)
            return WriteLong(text);
        std::memcpy(buffer_.data() + fill_, text.data(), text.size());
        fill_ += text.size();
    }

    // Writes out the rest; a named file then takes the temporary file's place.
    void Commit();

  private:
    void WriteLong(std::string_view text);
    void Flush();
    void WriteOut(std::string_view text);
    [[noreturn]] void Fail(int error) const;

    int fd_ = 1;
    std::string path_;
    std::string tempPath_;
    std::vector<char> buffer_;
    std::size_t fill_ = 0;
};
