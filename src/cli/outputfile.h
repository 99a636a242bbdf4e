#pragma once

#include <string>
#include <string_view>

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
    // Removes the temporary file when the report was not committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Buffered: text reaches the destination in large writes.
    void Write(std::string_view text);

    // Writes out the rest; a named file then takes the temporary file's place.
    void Commit();

  private:
    void Flush();
    [[noreturn]] void Fail(int error) const;

    int fd_ = 1;
    std::string path_;
    std::string tempPath_;
    std::string buffer_;
};
