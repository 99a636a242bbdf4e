#include "bytechar.h"
#include "comparefiles.h"
#include "reportformat.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using lumatra::test::Bytes;
using lumatra::test::RecordingSink;
using lumatra::test::TempDir;

struct Outcome
{
    RecordingSink sink;
    bFile::CompareSummary summary;
};

class CompareFilesTest : public ::testing::Test
{
  protected:
    // Compares two files made from the given bytes, named a.bin and b.bin in the report.
    Outcome Compare(const Bytes& a, const Bytes& b, std::uint64_t offset1 = 0,
                    std::uint64_t offset2 = 0, bool byLines = false, bool withChars = false,
                    std::size_t blockSize = 7)
    {
        const std::string path1 = m_dir.Write("a.bin", a);
        const std::string path2 = m_dir.Write("b.bin", b);
        std::filesystem::current_path(m_dir.Path(""));
        Outcome run;
        bFile::CompareOptions options;
        options.blockSize = blockSize;
        run.summary = bFile::CompareFiles("a.bin", "b.bin", offset1, offset2, byLines, withChars,
                                          run.sink, options);
        EXPECT_EQ(run.sink.plainLineViolations, 0);
        return run;
    }

    TempDir m_dir;
};

Bytes Text(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

// count bytes of value, with the bytes at the given indexes flipped.
Bytes Flipped(std::size_t count, std::vector<std::size_t> indexes, unsigned char value = 0)
{
    Bytes bytes(count, value);
    for (const std::size_t i : indexes)
        bytes[i] = static_cast<unsigned char>(~value);
    return bytes;
}

std::vector<std::size_t> Range(std::size_t from, std::size_t to)
{
    std::vector<std::size_t> indexes;
    for (std::size_t i = from; i < to; ++i)
        indexes.push_back(i);
    return indexes;
}

const char* const kExampleHeader = "File 1: a.bin (8 bytes, Start offset 0x0)\r\n"
                                   "File 2: b.bin (8 bytes, Start offset 0x0, Shift 0x0)\r\n"
                                   "\r\n";

TEST_F(CompareFilesTest, WorkedExampleNormalLayout)
{
    const Outcome run = Compare(Text("ABCDEFGH"), Text("AbcDEfGH"), 0, 0, false, true);
    EXPECT_EQ(run.sink.report, std::string(kExampleHeader) + "00000001: 42 62  B b\r\n"
                                                             "00000002: 43 63  C c\r\n"
                                                             "00000005: 46 66  F f\r\n"
                                                             "\r\n"
                                                             "3 bytes changed, 2 locations\r\n");
    EXPECT_EQ(run.summary.changed, 3u);
    EXPECT_EQ(run.summary.locations, 2u);
    // The summary is one call that brings its own empty line.
    EXPECT_EQ(run.sink.Calls("line").back(), "\r\n3 bytes changed, 2 locations");
}

TEST_F(CompareFilesTest, WorkedExampleByLinesLayout)
{
    const Outcome run = Compare(Text("ABCDEFGH"), Text("AbcDEfGH"), 0, 0, true, true);
    EXPECT_EQ(run.sink.report, std::string(kExampleHeader) + "00000001: 42 43\r\n"
                                                             "           B  C\r\n"
                                                             "          62 63\r\n"
                                                             "           b  c\r\n"
                                                             "00000005: 46\r\n"
                                                             "           F\r\n"
                                                             "          66\r\n"
                                                             "           f\r\n"
                                                             "\r\n"
                                                             "3 bytes changed, 2 locations\r\n");
}

TEST_F(CompareFilesTest, EqualRangesGiveOnlyFrameAndPhases)
{
    const Outcome run = Compare(Text("same"), Text("same"));
    EXPECT_EQ(run.sink.report, "File 1: a.bin (4 bytes, Start offset 0x0)\r\n"
                               "File 2: b.bin (4 bytes, Start offset 0x0, Shift 0x0)\r\n"
                               "\r\n\r\n"
                               "0 bytes changed, 0 locations\r\n");
    const std::vector<std::string> tail(run.sink.calls.end() - 6, run.sink.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"status:Preparing ...", "status:Opening file 1 ...",
                                              "status:Opening file 2 ...",
                                              "line:\r\n0 bytes changed, 0 locations",
                                              "status:Done!", "font"}));
}

TEST_F(CompareFilesTest, NormalLabelsFilePositionsByLinesLabelsIndexes)
{
    Bytes a = Flipped(0x20, {0x10});
    const Outcome normal = Compare(a, Bytes(0x10, 0), 0x10, 0);
    EXPECT_NE(normal.sink.report.find("\r\n00000010: FF 00\r\n"), std::string::npos);
    const Outcome byLines = Compare(a, Bytes(0x10, 0), 0x10, 0, true);
    EXPECT_NE(byLines.sink.report.find("\r\n00000000: FF\r\n          00\r\n"), std::string::npos);
    EXPECT_NE(normal.sink.report.find("Start offset 0x0, Shift 0x10)"), std::string::npos);
}

TEST_F(CompareFilesTest, ByLinesRowsHoldSixteenBytesAndRunsCountOnce)
{
    struct Case
    {
        std::vector<std::size_t> differing;
        std::vector<std::string> labels; // of the rows, in order
        std::uint64_t locations;
    };
    const std::vector<Case> cases = {
        {Range(3, 19), {"00000003:"}, 1},
        {Range(3, 20), {"00000003:", "00000013:"}, 1},
        {{3, 5}, {"00000003:", "00000005:"}, 2},
        {Range(32, 40), {"00000020:"}, 1}, // a run at the very end is closed by the end
        {Range(0, 40), {"00000000:", "00000010:", "00000020:"}, 1},
    };
    for (const Case& c : cases) {
        const Bytes a = Flipped(40, c.differing);
        const Bytes b(40, 0);
        const Outcome byLines = Compare(a, b, 0, 0, true);
        std::vector<std::string> labels;
        for (const std::string& line : byLines.sink.Calls("line")) {
            if (!line.empty() && line[0] != ' ' && line.find(':') == 8 && line.find("File") != 0)
                labels.push_back(line.substr(0, 9));
        }
        EXPECT_EQ(labels, c.labels);
        EXPECT_EQ(byLines.summary.locations, c.locations);
        EXPECT_EQ(byLines.summary.changed, c.differing.size());

        const Outcome normal = Compare(a, b);
        EXPECT_EQ(normal.summary.locations, c.locations);
        EXPECT_EQ(normal.summary.changed, c.differing.size());
        EXPECT_EQ(normal.sink.Calls("line").size(), 3 + c.differing.size() + 1);
    }
}

TEST_F(CompareFilesTest, LongerRangeIsTruncated)
{
    const Outcome first = Compare(Bytes(100, 1), Bytes(50, 1));
    EXPECT_EQ(first.sink.Calls("line")[2],
              "Size of file 1 > file 2. End of file 1 will be truncated at 0x31");

    const Outcome second = Compare(Flipped(1024, {1023}), Bytes(2000, 0), 0x10, 0);
    EXPECT_EQ(second.sink.Calls("line")[1],
              "File 2: b.bin (2000 bytes, Start offset 0x0, Shift 0x10)");
    EXPECT_EQ(second.sink.Calls("line")[2],
              "Size of file 2 > file 1. End of file 2 will be truncated at 0x3EF");
    // The last byte of file 1 is compared, at index 0x3EF.
    EXPECT_EQ(second.sink.Calls("line")[4], "000003FF: FF 00");
}

TEST_F(CompareFilesTest, OffsetsPastTheEndStartAtZero)
{
    const Outcome run = Compare(Flipped(0x100, {0}), Bytes(0x100, 0), 0x200, 0x101);
    const std::vector<std::string> lines = run.sink.Calls("line");
    EXPECT_EQ(lines[0], "File 1: a.bin (256 bytes, Start offset 0x200)");
    EXPECT_EQ(lines[1], "File 2: b.bin (256 bytes, Start offset 0x101, Shift 0xFF)");
    EXPECT_EQ(lines[2], "Offset 1 > size of file 1. Offset 1 will be set to 0x0");
    EXPECT_EQ(lines[3], "Offset 2 > size of file 2. Offset 2 will be set to 0x0");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "00000000: FF 00");

    // An offset equal to the length is kept, and leaves nothing to compare.
    const Outcome atEnd = Compare(Bytes(0x100, 0), Bytes(0x100, 0), 0x100, 0);
    EXPECT_EQ(atEnd.sink.Calls("line")[2],
              "File 1 has no bytes from offset 0x100. Nothing will be compared");
}

TEST_F(CompareFilesTest, EmptyRangesGiveANoteAndAZeroSummary)
{
    const Outcome empty1 = Compare(Bytes(), Text("abc"));
    EXPECT_EQ(empty1.sink.report,
              "File 1: a.bin (0 bytes, Start offset 0x0)\r\n"
              "File 2: b.bin (3 bytes, Start offset 0x0, Shift 0x0)\r\n"
              "File 1 has no bytes from offset 0x0. Nothing will be compared\r\n"
              "\r\n\r\n"
              "0 bytes changed, 0 locations\r\n");
    const Outcome empty2 = Compare(Text("abc"), Text("abc"), 1, 3, true);
    EXPECT_EQ(empty2.sink.Calls("line")[2],
              "File 2 has no bytes from offset 0x3. Nothing will be compared");
    const Outcome both = Compare(Bytes(), Bytes());
    EXPECT_EQ(both.sink.Calls("line")[2],
              "Neither file has bytes from its start offset. Nothing will be compared");
    EXPECT_EQ(both.sink.Calls("status").back(), "Done!");
}

TEST_F(CompareFilesTest, ProgressEveryThousandPositions)
{
    const Outcome run = Compare(Bytes(2500, 7), Bytes(2500, 7), 0, 0, false, false, 300);
    EXPECT_EQ(run.sink.Calls("progress"),
              (std::vector<std::string>{"Comparing files, please wait ... 40%",
                                        "Comparing files, please wait ... 80%"}));
    EXPECT_EQ(run.sink.progressCalls, 2u);
    EXPECT_TRUE(Compare(Bytes(1000, 7), Bytes(1000, 7)).sink.Calls("progress").empty());
}

TEST_F(CompareFilesTest, QuestionAfterThousandChangesComesOnceAfterThatIndex)
{
    // Differences at 1..1000, so the 1000th change meets the progress mark at index 1000.
    const Bytes a = Flipped(1500, Range(1, 1001));
    const Bytes b(1500, 0);
    Outcome stopped;
    stopped.sink.answer = false;
    {
        const std::string p1 = m_dir.Write("a.bin", a), p2 = m_dir.Write("b.bin", b);
        bFile::CompareOptions options;
        options.blockSize = 64;
        stopped.summary = bFile::CompareFiles(p1, p2, 0, 0, false, false, stopped.sink, options);
    }
    const std::vector<std::string>& calls = stopped.sink.calls;
    const auto question = std::find(calls.begin(), calls.end(), "question");
    ASSERT_NE(question, calls.end());
    EXPECT_EQ(*(question - 1), "progress:Comparing files, please wait ... 66%");
    EXPECT_EQ(*(question - 2), "line:000003E8: FF 00");
    EXPECT_EQ(*(question + 1), "line:\r\n1000 bytes changed, 1 locations");
    EXPECT_EQ(stopped.summary.changed, 1000u);

    // Yes carries on to the end without asking again.
    const Outcome all = Compare(Flipped(3000, Range(0, 2500)), Bytes(3000, 0), 0, 0, true);
    EXPECT_EQ(std::count(all.sink.calls.begin(), all.sink.calls.end(), "question"), 1);
    EXPECT_EQ(all.summary.changed, 2500u);
    EXPECT_EQ(all.summary.locations, 1u);
}

TEST_F(CompareFilesTest, AllByteValuesWithChars)
{
    Bytes a(256), b(256);
    for (int i = 0; i < 256; ++i) {
        a[i] = static_cast<unsigned char>(i);
        b[i] = static_cast<unsigned char>(255 - i);
    }
    const Outcome run = Compare(a, b, 0, 0, false, true);
    const std::vector<std::string> lines = run.sink.Calls("line");
    ASSERT_EQ(lines.size(), 3u + 256 + 1);
    for (int i = 0; i < 256; ++i) {
        const auto x = static_cast<std::uint8_t>(i), y = static_cast<std::uint8_t>(255 - i);
        EXPECT_EQ(lines[3 + i], bVarious::OffsetLabel(i) + " " + bVarious::ByteHex(x) + " " +
                                    bVarious::ByteHex(y) + "  " + std::string(bFile::ByteChar(x)) +
                                    " " + std::string(bFile::ByteChar(y)));
    }
    EXPECT_EQ(lines[3 + 0x41], "00000041: 41 BE  A \u00BE");
    EXPECT_EQ(lines[3 + 0x25], "00000025: 25 DA  % \u00DA");
    EXPECT_EQ(lines[3 + 0x0A], "0000000A: 0A F5  \x01 \u00F5");
}

// The report as a plain byte-by-byte walk writes it: the reference the block-wise engine must
// match at every block size.
std::string ReferenceBody(const Bytes& a, const Bytes& b, bool byLines, bool withChars,
                          std::uint64_t& changed, std::uint64_t& locations)
{
    std::string body, rows[4];
    std::size_t fill = 0;
    bool open = false;
    const auto flush = [&] {
        for (int r = 0; r < 4 && fill > 0; ++r) {
            if (withChars || r % 2 == 0)
                body += rows[r] + "\r\n";
        }
        fill = 0;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::string c1(bFile::ByteChar(a[i])), c2(bFile::ByteChar(b[i]));
        if (a[i] != b[i]) {
            ++changed;
            open = true;
            if (!byLines) {
                body += bVarious::OffsetLabel(i) + " " + bVarious::ByteHex(a[i]) + " " +
                        bVarious::ByteHex(b[i]) + (withChars ? "  " + c1 + " " + c2 : "") + "\r\n";
                continue;
            }
            if (fill == 0) {
                rows[0] = bVarious::OffsetLabel(i);
                rows[1] = rows[2] = rows[3] = std::string(9, ' ');
            }
            rows[0] += " " + bVarious::ByteHex(a[i]);
            rows[1] += "  " + c1;
            rows[2] += " " + bVarious::ByteHex(b[i]);
            rows[3] += "  " + c2;
            if (++fill == 16)
                flush();
        } else if (open) {
            ++locations;
            open = false;
            flush();
        }
    }
    if (open)
        ++locations;
    flush();
    return body;
}

TEST_F(CompareFilesTest, EveryBlockSizeGivesTheReferenceReport)
{
    std::mt19937 random(2009);
    for (const double density : {0.002, 0.05, 0.5, 0.97}) {
        Bytes a(3000), b(3000);
        std::bernoulli_distribution differs(density);
        for (std::size_t i = 0; i < a.size(); ++i) {
            a[i] = static_cast<unsigned char>(random());
            b[i] = differs(random) ? static_cast<unsigned char>(a[i] ^ (1 + random() % 255)) : a[i];
        }
        for (const bool byLines : {false, true}) {
            std::uint64_t changed = 0, locations = 0;
            const std::string body = ReferenceBody(a, b, byLines, true, changed, locations);
            for (const std::size_t blockSize : {1, 9, 64, 4096, 1 << 20}) {
                const Outcome run = Compare(a, b, 0, 0, byLines, true, blockSize);
                const std::string& report = run.sink.report;
                const std::size_t bodyStart = report.find("\r\n\r\n") + 4;
                EXPECT_EQ(report.substr(bodyStart, body.size()), body)
                    << density << " " << byLines << " " << blockSize;
                EXPECT_EQ(run.summary.changed, changed);
                EXPECT_EQ(run.summary.locations, locations);
            }
        }
    }
}

} // namespace
