#include "bytechar.h"
#include "comparefiles.h"
#include "fakesources.h"
#include "reportlines.h"
#include "testsupport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using lumatra::test::Bytes;
using lumatra::test::RecordingSink;
using lumatra::test::TempDir;

// The summary is the only line that starts with a line break.
bool HasSummary(const RecordingSink& sink)
{
    const std::vector<std::string> lines = sink.Calls("line");
    return std::any_of(lines.begin(), lines.end(),
                       [](const std::string& line) { return line.starts_with("\r\n"); });
}

class CompareFailureTest : public ::testing::Test
{
  protected:
    // Runs the comparison and returns the CompareError's message, or "" when none came.
    std::string FailureOf(const std::string& path1, const std::string& path2,
                          const bFile::CompareOptions& options = {})
    {
        try {
            bFile::CompareFiles(path1, path2, 0, 0, false, false, m_sink, options);
        } catch (const bFile::CompareError& error) {
            return error.what();
        }
        return {};
    }

    TempDir m_dir;
    RecordingSink m_sink;
};

TEST_F(CompareFailureTest, VanishedFileIsNamedBeforeAnyLine)
{
    const std::string a = m_dir.Write("a.bin", "abc");
    EXPECT_EQ(FailureOf(a, m_dir.Path("gone.bin")), "Cannot get the size of file 2 (" +
                                                        m_dir.Path("gone.bin") +
                                                        "): No such file or directory");
    EXPECT_TRUE(m_sink.report.empty());
    // A name that would break the message line or steer a terminal is shown escaped. Windows
    // refuses such a name outright.
#ifdef _WIN32
    const std::string reason = "Invalid argument";
#else
    const std::string reason = "No such file or directory";
#endif
    EXPECT_EQ(FailureOf(a, m_dir.Path("gone\n\x1B[2J.bin")), "Cannot get the size of file 2 (" +
                                                                 m_dir.Path("gone\\n\\x1B[2J.bin") +
                                                                 "): " + reason);
}

TEST_F(CompareFailureTest, ReadErrorMidRunEndsWithoutSummary)
{
    const std::string a = m_dir.Write("a.bin", Bytes(5000, 1));
    const std::string b = m_dir.Write("b.bin", Bytes(5000, 2));
    bFile::CompareOptions options;
    options.blockSize = 1000;
    options.mapRegions = 5;
    options.openFile = [&b](const std::string& path) -> std::unique_ptr<bFile::FileSource> {
        auto real = bFile::OpenFileSource(path);
        if (path != b)
            return real;
        auto failing = std::make_unique<lumatra::test::WatchedSource>(std::move(real));
        failing->FailReadsAfter(2500);
        return failing;
    };
    EXPECT_EQ(FailureOf(a, b, options), "Cannot read file 2 (" + b + "): Input/output error");
    // The first two blocks were reported, then the note of where the run stopped.
    const std::vector<std::string> lines = m_sink.Calls("line");
    EXPECT_EQ(lines.size(), 3u + 2000 + 1);
    EXPECT_EQ(lines.back(),
              "Comparison stopped at 0x7D0: 2000 bytes changed, 1 locations before it.");
    EXPECT_FALSE(HasSummary(m_sink));
    EXPECT_TRUE(m_sink.Calls("status").back() == "Opening file 2 ...");
    // The map ends where the report does: two regions counted, the third never compared.
    ASSERT_TRUE(m_sink.lastMap && m_sink.lastMap->Finished());
    EXPECT_EQ(m_sink.lastMap->Compared(), 2000u);
    EXPECT_EQ(m_sink.lastMap->Count(1), 1000u);
    EXPECT_FALSE(m_sink.lastMap->NeverCompared(1));
    EXPECT_TRUE(m_sink.lastMap->NeverCompared(2));
}

TEST_F(CompareFailureTest, FileThatShrinksOrGrowsDuringTheRunIsAnError)
{
    const std::string a = m_dir.Write("a.bin", Bytes(5000, 1));
    const std::string b = m_dir.Write("b.bin", Bytes(5000, 1));
    bFile::CompareOptions options;
    options.blockSize = 1500;

    m_sink.onProgress = [&a] { std::filesystem::resize_file(a, 2000); };
    EXPECT_EQ(FailureOf(a, b, options), "File 1 (" + a + ") got shorter during the comparison");
    EXPECT_FALSE(HasSummary(m_sink));

    // Grown, it still gave every byte of the range: the summary stays, and the warning follows.
    m_dir.Write("a.bin", Bytes(5000, 1));
    m_sink = RecordingSink();
    m_sink.onProgress = [&b] { std::filesystem::resize_file(b, 6000); };
    const std::string grown = "File 2 (" + b + ") changed its size during the comparison";
    EXPECT_EQ(FailureOf(a, b, options), grown);
    EXPECT_TRUE(HasSummary(m_sink));
    EXPECT_EQ(m_sink.Calls("line").back(), bFile::ChangedWarningLine(grown));
    EXPECT_NE(m_sink.Calls("status").back(), "Done!");
}

TEST_F(CompareFailureTest, ExceptionFromTheSinkStopsTheRun)
{
    // The window stops a comparison this way when it is closed; nothing may leak.
    const std::string a = m_dir.Write("a.bin", Bytes(5000, 1));
    const std::string b = m_dir.Write("b.bin", Bytes(5000, 2));
    struct Closed
    {
    };
    m_sink.onProgress = [] { throw Closed{}; };
    bFile::CompareOptions options;
    options.mapRegions = 4;
    EXPECT_THROW(bFile::CompareFiles(a, b, 0x10, 0, true, false, m_sink, options), Closed);
    EXPECT_FALSE(HasSummary(m_sink));
    // Stopped at the first progress mark, index 1000: the row begun at 992 holds the compared
    // bytes through 1000, and the note names the next byte's place in file 1.
    const std::vector<std::string> lines = m_sink.Calls("line");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "000003E0: 01 01 01 01 01 01 01 01 01");
    EXPECT_EQ(lines.back(),
              "Comparison stopped at 0x3F9: 1001 bytes changed, 1 locations before it.");
    // Regions of 1247 or 1248 bytes: the first holds the 1001 compared bytes.
    ASSERT_TRUE(m_sink.lastMap && m_sink.lastMap->Finished());
    EXPECT_EQ(m_sink.lastMap->Count(0), 1001u);
    EXPECT_TRUE(m_sink.lastMap->NeverCompared(1));
}

TEST_F(CompareFailureTest, StoppedRunTellsOfAFileRewrittenMeanwhile)
{
    // A stop keeps the report so far, which is only true if the files stayed as they were.
    const std::string a = m_dir.Write("a.bin", Bytes(5000, 1));
    const std::string b = m_dir.Write("b.bin", Bytes(5000, 2));
    std::filesystem::last_write_time(b, std::filesystem::file_time_type::clock::now() -
                                            std::chrono::hours(1));
    struct Closed
    {
    };
    m_sink.onProgress = [&] {
        m_dir.Write("b.bin", Bytes(5000, 1)); // in place: truncated and written again
        throw Closed{};
    };
    EXPECT_EQ(FailureOf(a, b), "File 2 (" + b + ") changed during the comparison");
    EXPECT_FALSE(HasSummary(m_sink));
}

TEST_F(CompareFailureTest, StopAskedForEndsTheRunWithTheNote)
{
    const std::string a = m_dir.Write("a.bin", Bytes(5000, 1));
    const std::string b = m_dir.Write("b.bin", Bytes(5000, 2));
    // Asked while file 2 opens: nothing is compared yet.
    m_sink.stopWhen = [this] { return m_sink.calls.back() == "status:Opening file 2 ..."; };
    EXPECT_THROW(bFile::CompareFiles(a, b, 0x10, 0, false, false, m_sink), bFile::CompareStopped);
    EXPECT_EQ(m_sink.Calls("line").back(),
              "Comparison stopped at 0x10: 0 bytes changed, 0 locations before it.");
    EXPECT_FALSE(HasSummary(m_sink));

    // Asked only once the report is complete: it is not asked, and the run ends as usual.
    m_sink = RecordingSink();
    m_sink.stopWhen = [this] { return HasSummary(m_sink); };
    EXPECT_EQ(bFile::CompareFiles(a, b, 0, 0, false, false, m_sink).changed, 5000u);
    EXPECT_EQ(m_sink.Calls("status").back(), "Done!");
}

#ifndef _WIN32
TEST_F(CompareFailureTest, UnreadableFileIsNamed)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const std::string a = m_dir.Write("a.bin", "abc");
    const std::string b = m_dir.Write("b.bin", "abc");
    ASSERT_EQ(chmod(b.c_str(), 0), 0);
    EXPECT_EQ(FailureOf(a, b), "Cannot open file 2 (" + b + "): Permission denied");
}
#endif

// Two sparse files a little over 4 GiB with one difference past 4 GiB; empty where the file
// system cannot make sparse files.
class SparsePairTest : public ::testing::Test
{
  protected:
    static constexpr std::uint64_t kSize = (std::uint64_t{1} << 32) + 32;
    static constexpr std::uint64_t kDifference = (std::uint64_t{1} << 32) + 5;

    void SetUp() override
    {
        for (std::string* path : {&m_a, &m_b}) {
            *path = m_dir.Write(path == &m_a ? "a.bin" : "b.bin", "");
            std::filesystem::resize_file(*path, kSize);
#ifndef _WIN32
            struct stat info
            {
            };
            ASSERT_EQ(stat(path->c_str(), &info), 0);
            if (static_cast<std::uint64_t>(info.st_blocks) * 512 >= kSize)
                GTEST_SKIP() << "no sparse files here";
#endif
        }
        std::fstream b(m_b, std::ios::in | std::ios::out | std::ios::binary);
        b.seekp(static_cast<std::streamoff>(kDifference));
        ASSERT_TRUE(b.write("\x7F", 1).flush());
    }

    TempDir m_dir;
    std::string m_a, m_b;
    RecordingSink m_sink;
};

TEST_F(SparsePairTest, PositionsPastFourGiBFromAHighOffset)
{
    const auto summary =
        bFile::CompareFiles(m_a, m_b, 0xFFFFFFF0, 0xFFFFFFF0, false, false, m_sink);
    const std::vector<std::string> lines = m_sink.Calls("line");
    EXPECT_EQ(lines[0], "File 1: " + m_a + " (4294967328 bytes, Start offset 0xFFFFFFF0)");
    EXPECT_EQ(lines[3], "100000005: 00 7F");
    EXPECT_EQ(summary.changed, 1u);
}

// Serves what the sparse files hold, from memory: reading 8 GiB of holes through the kernel
// would take most of a minute on a small machine.
constexpr unsigned char kMark = 0x7F;

TEST_F(SparsePairTest, WholeRangePastFourGiB)
{
    bFile::CompareOptions options;
    options.blockSize = 4 << 20;
    options.mapRegions = bFile::DifferenceMap::kMaxRegions;
    options.openFile = [this](const std::string& path) -> std::unique_ptr<bFile::FileSource> {
        using lumatra::test::MemorySource;
        return std::make_unique<MemorySource>(
            kSize, path == m_b ? std::vector<MemorySource::Run>{{kDifference, {&kMark, 1}}}
                               : std::vector<MemorySource::Run>{});
    };
    const auto summary = bFile::CompareFiles(m_a, m_b, 0, 0, true, true, m_sink, options);
    const std::vector<std::string> lines = m_sink.Calls("line");
    ASSERT_EQ(lines.size(), 3u + 4 + 1);
    // The ten-character label is matched by ten blanks in the rows below it, so that every
    // byte stays in its column.
    const std::string lead(std::string_view("100000005:").size(), ' ');
    const std::string zeroChar(bFile::ByteChar(0));
    EXPECT_EQ(lines[3], "100000005: 00");
    EXPECT_EQ(lines[4], lead + "  " + zeroChar);
    EXPECT_EQ(lines[5], lead + " 7F");
    EXPECT_EQ(lines[6], lead + "  " + std::string(bFile::ByteChar(0x7F)));
    EXPECT_EQ(summary.changed, 1u);
    EXPECT_EQ(m_sink.Calls("progress").back(), "Comparing files, please wait ... 99%");
    EXPECT_EQ(m_sink.progressCalls, kSize / 1000);
    // Regions of about 1 MiB: the difference 5 bytes past 4 GiB lies in the last one.
    ASSERT_TRUE(m_sink.lastMap);
    const std::size_t region = m_sink.lastMap->RegionOf(kDifference);
    EXPECT_EQ(region, bFile::DifferenceMap::kMaxRegions - 1);
    EXPECT_EQ(m_sink.lastMap->Count(region), 1u);
    EXPECT_EQ(m_sink.lastMap->LargestCount(), 1u);
}

} // namespace
