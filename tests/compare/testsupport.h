#pragma once

#include "comparefiles.h"
#include "differencemap.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace lumatra::test {

using Bytes = std::vector<unsigned char>;

// Names a GoogleTest case after its parameter's `name`, every character but letters and digits
// made '_'.
struct CaseName
{
    template <typename Info> std::string operator()(const Info& info) const
    {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return name;
    }
};

// A folder of its own for one test, removed with everything in it afterwards.
class TempDir
{
  public:
    TempDir()
    {
        std::random_device random;
        do {
            m_path = std::filesystem::temp_directory_path() /
                     ("lumatra-" + std::to_string(random() % 1'000'000'000));
        } while (!std::filesystem::create_directory(m_path));
    }
    // A test may have made the folder the current one, which Windows cannot remove.
    ~TempDir()
    {
        std::error_code error;
        if (std::filesystem::current_path(error) == m_path)
            std::filesystem::current_path(m_path.parent_path(), error);
        std::filesystem::remove_all(m_path, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (m_path / name).string(); }

    std::string Write(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return Path(name);
    }
    std::string Write(const std::string& name, std::string_view text) const
    {
        return Write(name, Bytes(text.begin(), text.end()));
    }

  private:
    std::filesystem::path m_path;
};

// Keeps the report as the pane would hold it, and every call in order as "kind:text".
class RecordingSink : public bFile::CompareSink
{
  public:
    void AppendLine(std::string_view text, std::uint32_t colour, std::uint8_t indent) override
    {
        report += std::string(indent, ' ') + std::string(text) + "\r\n";
        if (colour != 0 || indent != 0)
            ++plainLineViolations;
        calls.push_back("line:" + std::string(text));
    }
    void ShowStatus(std::string_view text) override
    {
        calls.push_back("status:" + std::string(text));
    }
    // Repeats of the same text are counted, not kept: a big range gives millions of them.
    void ShowProgress(std::string_view text) override
    {
        ++progressCalls;
        if (text != lastProgress) {
            lastProgress = text;
            calls.push_back("progress:" + lastProgress);
        }
        if (onProgress)
            onProgress();
    }
    bool ContinueAfter1000Changes() override
    {
        calls.push_back("question");
        return answer;
    }
    void ReportComplete() override { calls.push_back("font"); }
    bool StopRequested() override { return stopWhen && stopWhen(); }
    void ShowMap(const bFile::DifferenceMap& map) override { lastMap = map; }

    // The calls of one kind, without their prefix.
    std::vector<std::string> Calls(std::string_view kind) const
    {
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call.starts_with(kind) && call.size() > kind.size() && call[kind.size()] == ':')
                found.push_back(call.substr(kind.size() + 1));
        }
        return found;
    }

    std::string report;
    std::vector<std::string> calls;
    int plainLineViolations = 0;
    std::uint64_t progressCalls = 0;
    std::string lastProgress;
    bool answer = true;
    std::function<void()> onProgress;
    std::function<bool()> stopWhen;
    std::optional<bFile::DifferenceMap> lastMap;
};

} // namespace lumatra::test
