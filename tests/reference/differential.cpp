#include "differential.h"

#include "comparefiles.h"
#include "differencemap.h"
#include "fakesources.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace lumatra::reference {

namespace {

// Serves a described file's bytes from memory as it is read, however long it is.
std::unique_ptr<bFile::FileSource> ServeFromMemory(const VirtualFile& file)
{
    std::vector<lumatra::test::MemorySource::Run> runs;
    for (const VirtualFile::Piece& piece : file.pieces)
        runs.push_back({piece.position, piece.bytes});
    return std::make_unique<lumatra::test::MemorySource>(file.length, std::move(runs), file.fill);
}

// Writes the engine's calls into a Result, in the form the reference comparer gives them, so
// that the two can be set side by side.
class EngineResultSink final : public bFile::CompareSink
{
  public:
    EngineResultSink(Result& result, bool answer) : m_result(result), m_answer(answer) {}
    void AppendLine(std::string_view text, std::uint32_t colour, std::uint8_t indent) override
    {
        m_result.report += std::string(indent, ' ') + std::string(text) + "\r\n";
        m_result.calls.push_back("line:" + std::string(text));
        if (colour != 0 || indent != 0)
            m_result.calls.push_back("not plain black text");
    }
    void ShowStatus(std::string_view text) override
    {
        m_result.calls.push_back("status:" + std::string(text));
    }
    void ShowProgress(std::string_view text) override
    {
        AddProgress(m_result, std::string(text), 1);
    }
    bool ContinueAfter1000Changes() override
    {
        m_result.calls.push_back("question");
        return m_answer;
    }
    void ReportComplete() override { m_result.calls.push_back("font"); }
    void ShowMap(const bFile::DifferenceMap& map) override
    {
        MapShown& shown = m_result.maps.emplace_back();
        shown.compared = map.Compared();
        shown.finished = map.Finished();
        for (std::size_t r = 0; r < map.Regions(); ++r)
            shown.counts.push_back(map.Count(r));
    }

  private:
    Result& m_result;
    bool m_answer;
};

// Gives the file its length (a sparse file), and on onDisk its bytes too.
void PutFile(const std::string& path, const VirtualFile& file, bool onDisk)
{
    constexpr std::uint64_t kMaxOnDisk = 16 << 20;
    if (onDisk && file.length > kMaxOnDisk)
        throw std::logic_error("too long to be written: " + std::to_string(file.length));
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    bool done = ftruncate(fd, static_cast<off_t>(file.length)) == 0;
    if (onDisk && done) {
        Bytes bytes(file.length);
        file.Read(0, bytes.data(), bytes.size());
        done = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    done = close(fd) == 0 && done;
    if (!done)
        throw std::runtime_error("cannot write " + path);
}

std::string Describe(const MapShown& map)
{
    std::string text = "compared " + std::to_string(map.compared) +
                       (map.finished ? ", finished, counts" : ", counts");
    for (const std::uint64_t count : map.counts)
        text += " " + std::to_string(count);
    return text;
}

// Every map shown must hold the differences before its compared end, the ends must grow, and
// the last map, the only finished one, must equal the reference's.
std::string FirstMapDifference(const Result& engine, const Result& reference)
{
    if (reference.maps.empty())
        return engine.maps.empty() ? "" : "a map was shown although none was asked for";
    if (engine.maps.empty() || engine.maps.back() != reference.maps.back()) {
        return "final map\n  engine:    " +
               (engine.maps.empty() ? "(none)" : Describe(engine.maps.back())) +
               "\n  reference: " + Describe(reference.maps.back());
    }
    for (std::size_t at = 0; at + 1 < engine.maps.size(); ++at) {
        const MapShown& shown = engine.maps[at];
        MapShown expected = ReferenceMap(reference.differing, reference.size,
                                         reference.maps.back().counts.size(), shown.compared);
        if (shown != expected || (at > 0 && shown.compared < engine.maps[at - 1].compared))
            return "map " + std::to_string(at) + " of " + std::to_string(engine.maps.size()) +
                   "\n  engine:    " + Describe(shown) + "\n  reference: " + Describe(expected);
    }
    return {};
}

std::string Shown(const std::vector<std::string>& calls, std::size_t at)
{
    return at < calls.size() ? "\"" + calls[at] + "\"" : "(nothing)";
}

} // namespace

Result RunEngine(const Request& request, std::size_t blockSize, bool onDisk)
{
    PutFile(request.path1, request.file1, onDisk);
    if (request.path2 != request.path1)
        PutFile(request.path2, request.file2, onDisk);
    bFile::CompareOptions options;
    options.blockSize = blockSize;
    options.mapRegions = request.mapRegions;
    if (!onDisk) {
        const std::map<std::string, const VirtualFile*> files = {{request.path2, &request.file2},
                                                                 {request.path1, &request.file1}};
        options.openFile = [files](const std::string& path) {
            return ServeFromMemory(*files.at(path));
        };
    }
    Result result;
    EngineResultSink sink(result, request.continueAfter1000);
    const bFile::CompareSummary summary =
        bFile::CompareFiles(request.path1, request.path2, request.offset1, request.offset2,
                            request.byLines, request.withChars, sink, options);
    result.changed = summary.changed;
    result.locations = summary.locations;
    return result;
}

std::string FirstDifference(const Result& engine, const Result& reference)
{
    const auto& a = engine.calls;
    const auto& b = reference.calls;
    const auto [mismatchA, mismatchB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (mismatchA != a.end() || mismatchB != b.end()) {
        const std::size_t at = static_cast<std::size_t>(mismatchA - a.begin());
        std::string account = "call " + std::to_string(at) + " of " + std::to_string(a.size()) +
                              " (reference: " + std::to_string(b.size()) +
                              ")\n  engine:    " + Shown(a, at) + "\n  reference: " + Shown(b, at) +
                              "\n  before:";
        for (std::size_t i = at > 3 ? at - 3 : 0; i < at; ++i)
            account += " \"" + a[i] + "\"";
        return account;
    }
    if (engine.report != reference.report)
        return "the reports differ although every call agrees";
    if (engine.changed != reference.changed || engine.locations != reference.locations) {
        return "counts: engine " + std::to_string(engine.changed) + "/" +
               std::to_string(engine.locations) + ", reference " +
               std::to_string(reference.changed) + "/" + std::to_string(reference.locations);
    }
    return FirstMapDifference(engine, reference);
}

} // namespace lumatra::reference
