#include "differential.h"

#include "alignment.h"
#include "comparefiles.h"
#include "contextlayout.h"
#include "differencemap.h"
#include "fakesources.h"
#include "runsrecords.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <system_error>

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
    EngineResultSink(Result& result, bool answer, std::uint64_t stopAtProgress)
        : m_result(result), m_answer(answer), m_stopAtProgress(stopAtProgress)
    {}
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
        if (!m_result.realign)
            AddProgress(m_result, std::string(text), 1);
        ++m_progressCalls;
    }
    bool StopRequested() override
    {
        return m_stopAtProgress > 0 && m_progressCalls == m_stopAtProgress;
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
        bool realigned = false;
        for (std::size_t r = 0; r < map.Regions(); ++r) {
            shown.counts.push_back(map.Count(r));
            shown.realigned.push_back(map.Realignments(r));
            realigned = realigned || map.Realignments(r) > 0;
        }
        if (!realigned)
            shown.realigned.clear();
    }

  private:
    Result& m_result;
    bool m_answer;
    std::uint64_t m_stopAtProgress;
    std::uint64_t m_progressCalls = 0;
};

// Gives the file its length (a sparse file), and on onDisk its bytes too.
void PutFile(const std::string& path, const VirtualFile& file, bool onDisk)
{
    constexpr std::uint64_t kMaxOnDisk = 16 << 20;
    if (onDisk && file.length > kMaxOnDisk)
        throw std::logic_error("too long to be written: " + std::to_string(file.length));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot create " + path);
    if (onDisk) {
        Bytes bytes(file.length);
        file.Read(0, bytes.data(), bytes.size());
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    out.close();
    std::error_code error;
    std::filesystem::resize_file(path, file.length, error);
    if (!out || error)
        throw std::runtime_error("cannot write " + path);
}

std::string Describe(const MapShown& map)
{
    std::string text = "compared " + std::to_string(map.compared) +
                       (map.finished ? ", finished, counts" : ", counts");
    for (const std::uint64_t count : map.counts)
        text += " " + std::to_string(count);
    if (!map.realigned.empty())
        text += ", realigned";
    for (const std::uint64_t count : map.realigned)
        text += " " + std::to_string(count);
    return text;
}

// Every map shown must hold the differences before its compared end, the ends must grow, and
// the last map, the only finished one, must equal the reference's.
std::string FirstMapDifference(const Result& engine, const Result& reference)
{
    if (reference.maps.empty())
        return engine.maps.empty() ? "" : "a map was shown although none was asked for";
    MapShown expectedLast = reference.maps.back();
    if (reference.realign && !engine.maps.empty())
        expectedLast.compared = engine.maps.back().compared;
    if (engine.maps.empty() || engine.maps.back() != expectedLast) {
        return "final map\n  engine:    " +
               (engine.maps.empty() ? "(none)" : Describe(engine.maps.back())) +
               "\n  reference: " + Describe(expectedLast);
    }
    // A realigning walk shows a stretch's bytes only once it knows what they are.
    if (reference.realign)
        return {};
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

// Keeps the runs records of a comparison; the report is dropped.
class RunsSink final : public bFile::CompareSink
{
  public:
    RunsSink() : m_records([this](std::string_view text) { records += text; }) {}

    std::string records;
    // The edits, as the window keeps them for its context view.
    std::shared_ptr<bFile::Alignment> alignment = std::make_shared<bFile::Alignment>();

    void AppendLine(std::string_view, std::uint32_t, std::uint8_t) override {}
    void ShowStatus(std::string_view) override {}
    bool ContinueAfter1000Changes() override { return true; }
    void ReportComplete() override {}
    bool KeepsStretches() const override { return true; }
    void StretchesBegin(std::uint64_t position1, std::uint64_t position2) override
    {
        m_records.Begin(position1, position2);
    }
    void ChangedByte(std::uint64_t position1, std::uint64_t position2, std::uint8_t byte2) override
    {
        m_records.Changed(position1, position2, byte2);
    }
    void OnlyInFile2(std::uint64_t position1, std::uint64_t position2, std::uint64_t count) override
    {
        m_records.OnlyInFile2(position1, position2, count);
        alignment->OnlyInFile2(position1, position2, count);
    }
    void InsertedBytes(std::span<const unsigned char> bytes) override
    {
        m_records.InsertedBytes(bytes);
    }
    void OnlyInFile1(std::uint64_t position1, std::uint64_t count, std::uint64_t position2) override
    {
        m_records.OnlyInFile1(position1, count, position2);
        alignment->OnlyInFile1(position1, count, position2);
    }
    void StretchesEnd(std::uint64_t position1, std::uint64_t position2) override
    {
        m_records.End(position1, position2);
    }

  private:
    bFile::RunsRecords m_records;
};

// The number after `"key":[` (the first of a range) or `"key":`, and for a range the second.
std::pair<std::uint64_t, std::uint64_t> Field(const std::string& record, const std::string& key)
{
    const std::size_t at = record.find("\"" + key + "\":");
    if (at == std::string::npos)
        throw std::runtime_error("no " + key + " in " + record);
    std::size_t next = at + key.size() + 3;
    const bool range = record[next] == '[';
    next += range ? 1 : 0;
    std::size_t used = 0;
    const std::uint64_t first = std::stoull(record.substr(next), &used);
    if (!range)
        return {first, first};
    return {first, std::stoull(record.substr(next + used + 1))};
}

// The context view's layout through the run's edits: each side shows its file's bytes in
// order, and in the compared ranges two bytes stand side by side exactly where an equal or
// replace record pairs them (paired: a0 to a1 and b0 of each). Empty when it holds; else an
// account of the first fault.
std::string LayoutDifference(const Request& request, const bFile::ContextLayout& layout,
                             const std::map<std::uint64_t, std::array<std::uint64_t, 2>>& paired,
                             std::uint64_t start1, std::uint64_t start2)
{
    std::uint64_t next[2] = {0, 0};
    std::uint64_t pairedCells = 0;
    for (std::uint64_t row = 0; row < layout.RowCount(); ++row) {
        for (unsigned column = 0; column < bFile::kContextRowBytes; ++column) {
            std::optional<std::uint64_t> at[2];
            for (int side = 0; side < 2; ++side) {
                at[side] = layout.PositionAt(side + 1, row, column);
                if (at[side] && *at[side] != next[side]++)
                    return "the view's row " + std::to_string(row) + " shows byte " +
                           std::to_string(*at[side]) + " of file " + std::to_string(side + 1) +
                           " out of order";
            }
            if (!at[0] || !at[1] || *at[0] < start1 || *at[1] < start2)
                continue;
            const auto record = paired.upper_bound(*at[0]);
            if (record == paired.begin() || *at[0] >= std::prev(record)->second[0] ||
                *at[1] - *at[0] != std::prev(record)->second[1] - std::prev(record)->first)
                return "the view pairs bytes " + std::to_string(*at[0]) + " and " +
                       std::to_string(*at[1]) + ", which no record pairs";
            ++pairedCells;
        }
    }
    std::uint64_t pairedBytes = 0;
    for (const auto& [a0, rest] : paired)
        pairedBytes += rest[0] - a0;
    if (next[0] != request.file1.length || next[1] != request.file2.length ||
        pairedCells != pairedBytes)
        return "the view shows " + std::to_string(next[0]) + " and " + std::to_string(next[1]) +
               " bytes, " + std::to_string(pairedCells) + " of them paired instead of " +
               std::to_string(pairedBytes);
    return {};
}

Bytes FromHex(const std::string& record)
{
    const std::size_t at = record.find("\"data\":\"");
    if (at == std::string::npos)
        throw std::runtime_error("no data in " + record);
    const std::size_t from = at + 8, to = record.find('"', from);
    Bytes bytes;
    for (std::size_t i = from; i + 1 < to; i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoul(record.substr(i, 2), nullptr, 16)));
    return bytes;
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
    options.realign = request.realign;
    options.shiftWindow = request.shiftWindow;
    if (!onDisk) {
        const std::map<std::string, const VirtualFile*> files = {{request.path2, &request.file2},
                                                                 {request.path1, &request.file1}};
        options.openFile = [files](const std::string& path) {
            return ServeFromMemory(*files.at(path));
        };
    }
    Result result;
    result.realign = request.realign;
    EngineResultSink sink(result, request.continueAfter1000, request.stopAtProgress);
    try {
        const bFile::CompareSummary summary =
            bFile::CompareFiles(request.path1, request.path2, request.offset1, request.offset2,
                                request.byLines, request.withChars, sink, options);
        result.changed = summary.changed;
        result.locations = summary.locations;
    } catch (const bFile::CompareStopped&) {
        // The counts of a stopped run are in its last line.
    }
    return result;
}

std::string RunsDifference(const Request& request, std::size_t blockSize)
{
    bFile::CompareOptions options;
    options.blockSize = blockSize;
    options.realign = request.realign;
    options.shiftWindow = request.shiftWindow;
    const std::map<std::string, const VirtualFile*> files = {{request.path2, &request.file2},
                                                             {request.path1, &request.file1}};
    options.openFile = [files](const std::string& path) {
        return ServeFromMemory(*files.at(path));
    };
    PutFile(request.path1, request.file1, false);
    if (request.path2 != request.path1)
        PutFile(request.path2, request.file2, false);
    RunsSink sink;
    bFile::CompareFiles(request.path1, request.path2, request.offset1, request.offset2,
                        request.byLines, request.withChars, sink, options);

    // The compared ranges, by the rules.
    const auto start = [](std::uint64_t offset, std::uint64_t length) {
        return offset > length ? 0 : offset;
    };
    const std::uint64_t start1 = start(request.offset1, request.file1.length);
    const std::uint64_t start2 = start(request.offset2, request.file2.length);
    std::uint64_t end1 = request.file1.length, end2 = request.file2.length;
    if (!request.realign) {
        const std::uint64_t count = std::min(end1 - start1, end2 - start2);
        end1 = start1 + count;
        end2 = start2 + count;
    }
    std::uint64_t at1 = start1, at2 = start2;
    Bytes made;
    std::map<std::uint64_t, std::array<std::uint64_t, 2>> paired;
    std::istringstream lines(sink.records);
    std::string record;
    while (std::getline(lines, record)) {
        const auto [a0, a1] = Field(record, "a");
        const auto [b0, b1] = Field(record, "b");
        if (a0 != at1 || b0 != at2 || a1 < a0 || b1 < b0 || a1 > end1 || b1 > end2)
            return "out of place at " + std::to_string(at1) + "/" + std::to_string(at2) + ": " +
                   record;
        Bytes part(static_cast<std::size_t>(a1 - a0));
        request.file1.Read(a0, part.data(), part.size());
        if (a1 > a0 && b1 > b0)
            paired[a0] = {a1, b0};
        if (record.starts_with("{\"op\":\"equal\"")) {
            if (a1 - a0 != b1 - b0)
                return "unequal lengths: " + record;
            made.insert(made.end(), part.begin(), part.end());
        } else if (record.starts_with("{\"op\":\"replace\"") ||
                   record.starts_with("{\"op\":\"insert\"")) {
            const Bytes data = FromHex(record);
            if (data.size() != b1 - b0 || (record[7] == 'r' && a1 - a0 != b1 - b0) ||
                (record[7] == 'i' && a1 != a0))
                return "data does not fit: " + record;
            made.insert(made.end(), data.begin(), data.end());
        } else if (!record.starts_with("{\"op\":\"delete\"") || b1 != b0) {
            return "not a record: " + record;
        }
        at1 = a1;
        at2 = b1;
    }
    if (at1 != end1 || at2 != end2)
        return "the records end at " + std::to_string(at1) + "/" + std::to_string(at2) +
               " instead of " + std::to_string(end1) + "/" + std::to_string(end2);
    Bytes expected(static_cast<std::size_t>(end2 - start2));
    request.file2.Read(start2, expected.data(), expected.size());
    if (made != expected)
        return "applied to file 1 they do not give file 2";
    const bFile::ContextLayout layout(request.file1.length, request.file2.length, request.offset1,
                                      request.offset2, sink.alignment);
    return LayoutDifference(request, layout, paired, start1, start2);
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
