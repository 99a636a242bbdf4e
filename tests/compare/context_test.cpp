#include "compareerror.h"
#include "contextfiles.h"
#include "contextrows.h"
#include "differencesearch.h"
#include "fakesources.h"
#include "scrollscale.h"
#include "testsupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using lumatra::test::MemorySource;
using lumatra::test::RecordingSink;

using ByteAt = std::function<unsigned char(std::uint64_t position)>;

// The rows' texts as the view shows them, from bytes given by position.
std::vector<std::string> RowTexts(const bFile::ContextLayout& layout, std::uint64_t firstRow,
                                  std::uint64_t count, const ByteAt& byte1, const ByteAt& byte2)
{
    std::vector<unsigned char> bytes[2];
    const ByteAt* byteAt[2] = {&byte1, &byte2};
    for (int side = 0; side < 2; ++side) {
        const bFile::FileStretch shown = layout.Shown(side + 1, firstRow, count);
        for (std::uint64_t i = 0; i < shown.count; ++i)
            bytes[side].push_back((*byteAt[side])(shown.position + i));
    }
    const bFile::ContextColumns columns(layout.LabelDigits());
    std::vector<std::string> texts;
    for (const bFile::ContextRow& row :
         bFile::LayRows(layout, firstRow, count, bytes[0].data(), bytes[1].data()))
        texts.push_back(bFile::RowText(row, columns));
    return texts;
}

ByteAt From(const std::string& text)
{
    return [text](std::uint64_t position) { return static_cast<unsigned char>(text.at(position)); };
}

const std::string kBlankSide(75, ' ');
const std::string kGap = "   ";

struct RowsCase
{
    const char* name;
    std::string file1, file2;
    std::uint64_t offset1, offset2, firstRow, count;
    std::vector<std::string> expected;
};

// Worked out by hand: file 2 shifted either way, a side that starts mid-row (no label there),
// files ending mid-row, an offset past its file's end, bytes that are no printable ASCII.
const RowsCase kRowsCases[] = {
    {"file 2 three bytes later, one byte differs",
     "0123456789",
     "xyz0123X56789",
     0,
     3,
     0,
     5,
     {kBlankSide + kGap + std::string(49, ' ') + "78 79 7A" + std::string(15, ' ') + "xyz",
      "00000000  30 31 32 33*34 35 36 37 38 39                    0123456789      " + kGap +
          "00000003  30 31 32 33*58 35 36 37 38 39                    0123X56789"}},
    {"file 1 five bytes later, rows start at offset 1",
     "ABCDE" + std::string("\x00\x7F\xFF", 3) + "abcdefghijklmnopq",
     std::string("\x00\x7F\xFF", 3) + "abcdefghijklmnopQ",
     5,
     0,
     0,
     3,
     {std::string(43, ' ') + "41 42 43 44 45" + std::string(13, ' ') + "ABCDE",
      "00000005  00 7F FF 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D  ...abcdefghijklm" + kGap +
          "00000000  00 7F FF 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D  ...abcdefghijklm",
      "00000015  6E 6F 70*71                                      nopq            " + kGap +
          "00000010  6E 6F 70*51                                      nopQ"}},
    {"an offset past the end counts as 0",
     "abc",
     "abd",
     7,
     0,
     0,
     1,
     {"00000000  61 62*63                                         abc             " + kGap +
      "00000000  61 62*64                                         abd"}},
    {"rows past file 1's end show file 2 alone",
     "ab",
     std::string(20, 'z'),
     0,
     0,
     1,
     4,
     {kBlankSide + kGap + "00000010  7A 7A 7A 7A                                      zzzz"}},
};

class ContextRowsTest : public testing::TestWithParam<RowsCase>
{
};

TEST_P(ContextRowsTest, LaysOutBothFiles)
{
    const RowsCase& c = GetParam();
    const bFile::ContextLayout layout(c.file1.size(), c.file2.size(), c.offset1, c.offset2);
    EXPECT_EQ(RowTexts(layout, c.firstRow, c.count, From(c.file1), From(c.file2)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, ContextRowsTest, testing::ValuesIn(kRowsCases),
                         [](const testing::TestParamInfo<RowsCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             }
                             return name;
                         });

// Past 4 GiB the labels grow to nine digits on every row, so the sides stay in line.
TEST(ContextLayoutTest, LabelsPast4GiB)
{
    constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;
    const bFile::ContextLayout layout(k4GiB + 4, k4GiB + 4, 0, 0x10);
    const auto byte = [](std::uint64_t position) { return static_cast<unsigned char>(position); };
    const std::uint64_t row = layout.RowOf(1, k4GiB - 1);
    EXPECT_EQ(layout.ColumnOf(1, k4GiB - 1), 15u);
    EXPECT_EQ(RowTexts(layout, row, 9, byte, byte),
              (std::vector<std::string>{
                  "0FFFFFFF0 *F0*F1*F2*F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF  ................" +
                      kGap + "100000000 *00*01*02*03" + std::string(38, ' ') + "....",
                  "100000000  00 01 02 03                                      ...."}));
    EXPECT_EQ(layout.RowCount(), row + 2);
}

// Every byte of both files is in one row and column, found again from there, and lined up
// as the offsets say: random lengths and offsets, both ways.
TEST(ContextLayoutTest, PositionsRoundTrip)
{
    std::mt19937_64 random(20091);
    for (int round = 0; round < 300; ++round) {
        const std::uint64_t length[2] = {random() % 70, random() % 70};
        const std::uint64_t offset[2] = {random() % 80, random() % 80};
        const bFile::ContextLayout layout(length[0], length[1], offset[0], offset[1]);
        for (int file = 1; file <= 2; ++file) {
            for (std::uint64_t p = 0; p < length[file - 1]; ++p) {
                const std::uint64_t row = layout.RowOf(file, p);
                ASSERT_LT(row, layout.RowCount());
                ASSERT_EQ(layout.PositionAt(file, row, layout.ColumnOf(file, p)), p);
            }
        }
        const std::uint64_t used1 = offset[0] > length[0] ? 0 : offset[0];
        const std::uint64_t used2 = offset[1] > length[1] ? 0 : offset[1];
        // The first compared byte starts a row.
        if (used1 < length[0]) {
            ASSERT_EQ(layout.ColumnOf(1, used1), 0u);
        }
        const bFile::FileStretch common = layout.Common();
        for (std::uint64_t p = common.position; p < common.position + common.count; ++p) {
            const std::uint64_t q = p + used2 - used1;
            ASSERT_LT(q, length[1]);
            ASSERT_EQ(layout.Position2(p), q);
            ASSERT_EQ(layout.PositionAt(2, layout.RowOf(1, p), layout.ColumnOf(1, p)), q);
        }
    }
}

// The scroll bar reaches every end and gives each value one top row, also past the 2^31 rows
// an int counts (a 640 GiB pair has 2^35 rows), and values follow rows in order.
TEST(ScrollScaleTest, MapsValuesAndRowsBothWays)
{
    for (const std::uint64_t lastTop :
         {std::uint64_t{0}, std::uint64_t{40}, bVarious::ScrollScale::kScaledSteps,
          bVarious::ScrollScale::kScaledSteps + 1, std::uint64_t{1} << 31, std::uint64_t{5} << 33,
          (std::uint64_t{1} << 60) - 7}) {
        const bVarious::ScrollScale scale(lastTop);
        EXPECT_EQ(scale.TopOf(0), 0u);
        EXPECT_EQ(scale.TopOf(scale.Maximum()), lastTop);
        EXPECT_EQ(scale.ValueOf(lastTop), scale.Maximum());
        EXPECT_EQ(scale.ValueOf(lastTop + 100), scale.Maximum());
        std::mt19937_64 random(lastTop);
        for (int i = 0; i < 2000; ++i) {
            const int value = scale.Maximum() == 0 ? 0 : int(random() % (scale.Maximum() + 1u));
            ASSERT_EQ(scale.ValueOf(scale.TopOf(value)), value) << lastTop;
            const std::uint64_t top = lastTop == 0 ? 0 : random() % (lastTop + 1);
            const int shown = scale.ValueOf(top);
            ASSERT_LE(scale.TopOf(shown), top);
            ASSERT_TRUE(shown == scale.Maximum() || scale.TopOf(shown + 1) > top);
        }
    }
}

// Two files in memory, opened by name, for the search.
class DifferenceSearchTest : public testing::Test
{
  protected:
    bFile::DifferenceSearch Search(std::uint64_t offset1, std::uint64_t offset2,
                                   std::size_t blockSize)
    {
        bFile::DifferenceSearch search{"one", "two", offset1, offset2, blockSize};
        search.open = [this](const std::string& path) -> std::unique_ptr<bFile::FileSource> {
            const std::vector<unsigned char>& bytes = path == "one" ? m_one : m_two;
            return std::make_unique<MemorySource>(
                bytes.size(), std::vector<MemorySource::Run>{{0, {bytes.data(), bytes.size()}}});
        };
        return search;
    }

    std::vector<unsigned char> m_one, m_two;
    RecordingSink m_sink;
};

// Against the obvious answer, every start both ways: block sizes that put differences on
// and around block boundaries, shifts either way, positions at and past both ends.
TEST_F(DifferenceSearchTest, AgreesWithByteByByte)
{
    std::mt19937_64 random(7);
    for (int round = 0; round < 60; ++round) {
        m_one.resize(random() % 90);
        m_two.resize(random() % 90);
        for (auto* bytes : {&m_one, &m_two}) {
            for (unsigned char& b : *bytes)
                b = static_cast<unsigned char>(random() % 2);
        }
        const std::uint64_t offset1 = random() % 40, offset2 = random() % 40;
        const std::int64_t shift = static_cast<std::int64_t>(offset2 > m_two.size() ? 0 : offset2) -
                                   static_cast<std::int64_t>(offset1 > m_one.size() ? 0 : offset1);
        const auto differs = [&](std::int64_t p) {
            const std::int64_t q = p + shift;
            return p < static_cast<std::int64_t>(m_one.size()) && q >= 0 &&
                   q < static_cast<std::int64_t>(m_two.size()) && m_one[p] != m_two[q];
        };
        const std::size_t blockSize = std::size_t{1} << (random() % 6);
        const bFile::DifferenceSearch search = Search(offset1, offset2, blockSize);
        for (std::int64_t from = 0; from <= static_cast<std::int64_t>(m_one.size()) + 1; ++from) {
            std::optional<std::uint64_t> next, previous;
            for (std::int64_t p = from; p <= 200 && !next; ++p) {
                if (differs(p))
                    next = p;
            }
            for (std::int64_t p = from; p >= 0 && !previous; --p) {
                if (differs(p))
                    previous = p;
            }
            ASSERT_EQ(bFile::FindNextDifference(search, from, m_sink), next)
                << round << " from " << from << " block " << blockSize;
            ASSERT_EQ(bFile::FindPreviousDifference(search, from, m_sink), previous)
                << round << " from " << from << " block " << blockSize;
        }
    }
}

// Sparse files past 4 GiB: the search starts where it is asked, reads only from there, shows
// its progress and stops when asked.
TEST_F(DifferenceSearchTest, Past4GiBWithProgressAndStop)
{
    constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;
    static const unsigned char kMark[] = {1};
    bFile::DifferenceSearch search{"one", "two", 0, 0, 4096};
    search.open = [](const std::string& path) -> std::unique_ptr<bFile::FileSource> {
        std::vector<MemorySource::Run> runs;
        if (path == "two")
            runs = {{k4GiB - 1, kMark}, {k4GiB + 0x10000, kMark}};
        return std::make_unique<MemorySource>(k4GiB + 0x20000, runs);
    };
    EXPECT_EQ(bFile::FindNextDifference(search, k4GiB - 0x8000, m_sink), k4GiB - 1);
    EXPECT_EQ(bFile::FindNextDifference(search, k4GiB, m_sink), k4GiB + 0x10000);
    EXPECT_EQ(bFile::FindPreviousDifference(search, k4GiB + 0xFFFF, m_sink), k4GiB - 1);
    EXPECT_EQ(bFile::FindNextDifference(search, k4GiB + 0x10001, m_sink), std::nullopt);
    EXPECT_EQ(m_sink.Calls("progress").front(), "Looking for the next difference ... 0%");
    EXPECT_EQ(m_sink.Calls("progress").back(), "Looking for the next difference ... 93%");

    const std::uint64_t before = m_sink.progressCalls;
    m_sink.stopWhen = [this, before] { return m_sink.progressCalls == before + 3; };
    EXPECT_THROW(bFile::FindPreviousDifference(search, k4GiB + 0xFFFF, m_sink),
                 bFile::CompareStopped);
}

// The rows shown are all that is read, and a file that fails is named.
TEST_F(DifferenceSearchTest, ReadsTheRowsShown)
{
    m_one.assign(100, 'a');
    m_two.assign(100, 'a');
    m_two[40] = 'b';
    const bFile::DifferenceSearch search = Search(0, 0, 1);
    bFile::ContextFiles files("one", "two", 0, 0, search.open);
    const std::vector<bFile::ContextRow> rows = files.ReadRows(1, 7);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_FALSE(rows[0].Differs());
    EXPECT_TRUE(rows[1].Differs());
    EXPECT_EQ(rows[5].cells[3].present, (std::array<bool, 2>{true, true}));
    EXPECT_EQ(rows[5].cells[4].present, (std::array<bool, 2>{false, false}));

    EXPECT_THROW(bFile::ContextFiles("one", "/nonexistent/two", 0, 0), bFile::CompareError);
}

// A file that fails during a search is named, and no position is given.
TEST_F(DifferenceSearchTest, FailingFileIsNamed)
{
    m_one.assign(100, 'a');
    m_two.assign(100, 'a');
    bFile::DifferenceSearch search = Search(0, 0, 16);
    search.open = [this, open = search.open](const std::string& path) {
        auto failing = std::make_unique<lumatra::test::WatchedSource>(open(path));
        if (path == "two")
            failing->FailReadsAfter(40);
        return failing;
    };
    try {
        bFile::FindNextDifference(search, 0, m_sink);
        ADD_FAILURE() << "no error";
    } catch (const bFile::CompareError& error) {
        EXPECT_STREQ(error.what(), "Cannot read file 2 (two): Input/output error");
    }
}

} // namespace
