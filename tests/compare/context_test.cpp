#include "compareerror.h"
#include "contextfiles.h"
#include "contextrows.h"
#include "differencesearch.h"
#include "fakesources.h"
#include "reportformat.h"
#include "scrollscale.h"
#include "testsupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <random>
#include <set>
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
                         lumatra::test::CaseName());

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
        const bFile::LinedStretch common = layout.Lined(0);
        for (std::uint64_t p = common.position; p < common.position + common.count; ++p) {
            const std::uint64_t q = p + used2 - used1;
            ASSERT_LT(q, length[1]);
            ASSERT_EQ(common.position2 + (p - common.position), q);
            ASSERT_EQ(layout.PositionAt(2, layout.RowOf(1, p), layout.ColumnOf(1, p)), q);
        }
    }
}

// A row as each side's label ('-' for none) and cells ('_' for an empty one):
// "0:ABC___DEF_______ | 0:ABCxyzDEF_______".
std::string CellsText(const bFile::ContextRow& row)
{
    std::string text;
    for (int side = 0; side < 2; ++side) {
        text += side == 0 ? "" : " | ";
        text += row.label[side] ? bVarious::HexNumber(*row.label[side]) : "-";
        text += ':';
        for (const bFile::ContextCell& cell : row.cells)
            text += cell.present[side] ? static_cast<char>(cell.value[side]) : '_';
    }
    return text;
}

struct AlignedCase
{
    const char* name;
    // Each file is zeros up to base, then its text.
    std::uint64_t base;
    std::string file1, file2;
    std::uint64_t offset2;
    struct Edit
    {
        int file;
        std::uint64_t position1, position2, count;
    };
    std::vector<Edit> edits;       // positions from base
    std::vector<std::string> rows; // every row from base's on
};

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

// Worked out by hand: each edit's bytes beside empty cells, the files lined up again after it.
const AlignedCase kAlignedCases[] = {
    {"insertion at a row start",
     0,
     std::string(16, 'a') + "bbbb",
     std::string(16, 'a') + std::string(16, 'X') + "bbbb",
     0,
     {{2, 16, 16, 16}},
     {"0:aaaaaaaaaaaaaaaa | 0:aaaaaaaaaaaaaaaa", "-:________________ | 10:XXXXXXXXXXXXXXXX",
      "10:bbbb____________ | 20:bbbb____________"}},
    {"insertion mid-row",
     0,
     "ABCDEFGHIJ",
     "ABCxyzDEFGHIJ",
     0,
     {{2, 3, 3, 3}},
     {"0:ABC___DEFGHIJ___ | 0:ABCxyzDEFGHIJ___"}},
    {"removal spanning rows, file 2 from its offset",
     0,
     "0123" + std::string(20, 'R') + "4567",
     "zz01234567",
     2,
     {{1, 4, 6, 20}},
     {"-:________________ | -:______________zz", "0:0123RRRRRRRRRRRR | 2:0123____________",
      "10:RRRRRRRR4567____ | 6:________4567____"}},
    {"removal then insertion at the files' ends",
     0,
     "abcdEF",
     "abcdXYZ",
     0,
     {{1, 4, 4, 2}, {2, 6, 4, 3}},
     {"0:abcdEF__________ | 0:abcd__XYZ_______"}},
    {"insertion before the first byte",
     0,
     "hello",
     "XXhello",
     0,
     {{2, 0, 0, 2}},
     {"-:__hello_________ | 0:XXhello_________"}},
    {"insertion past 4 GiB across a row's end",
     k4GiB,
     "ABCDEFGHIJ",
     "ABCDE" + std::string(19, 'x') + "FGHIJ",
     0,
     {{2, 5, 5, 19}},
     {"100000000:ABCDE___________ | 100000000:ABCDExxxxxxxxxxx",
      "100000005:________FGHIJ___ | 100000010:xxxxxxxxFGHIJ___"}},
};

class AlignedRowsTest : public testing::TestWithParam<AlignedCase>
{
};

TEST_P(AlignedRowsTest, StepOverEachEdit)
{
    const AlignedCase& c = GetParam();
    auto alignment = std::make_shared<bFile::Alignment>();
    for (const AlignedCase::Edit& edit : c.edits) {
        if (edit.file == 1)
            alignment->OnlyInFile1(c.base + edit.position1, edit.count, c.base + edit.position2);
        else
            alignment->OnlyInFile2(c.base + edit.position1, c.base + edit.position2, edit.count);
    }
    const bFile::ContextLayout layout(c.base + c.file1.size(), c.base + c.file2.size(), 0,
                                      c.offset2, alignment);
    const std::uint64_t firstRow = c.base / bFile::kContextRowBytes;
    ASSERT_EQ(layout.RowCount(), firstRow + c.rows.size());
    std::vector<unsigned char> bytes[2];
    const std::string* text[2] = {&c.file1, &c.file2};
    for (int side = 0; side < 2; ++side) {
        const bFile::FileStretch shown = layout.Shown(side + 1, firstRow, c.rows.size());
        for (std::uint64_t p = shown.position; p < shown.position + shown.count; ++p)
            bytes[side].push_back(p < c.base ? 0 : text[side]->at(p - c.base));
    }
    std::vector<std::string> rows;
    for (const bFile::ContextRow& row :
         bFile::LayRows(layout, firstRow, c.rows.size(), bytes[0].data(), bytes[1].data()))
        rows.push_back(CellsText(row));
    EXPECT_EQ(rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(Rows, AlignedRowsTest, testing::ValuesIn(kAlignedCases),
                         lumatra::test::CaseName());

// Memory stays bounded: past the most edits, and at an edit out of order, the alignment is
// cut and the layout goes on at the last kept edit's shift.
TEST(AlignmentTest, IsCutPastTheMostEdits)
{
    auto alignment = std::make_shared<bFile::Alignment>();
    for (std::uint64_t i = 0; i <= bFile::Alignment::kMostEdits; ++i)
        alignment->OnlyInFile2(2 * i, 3 * i, 1);
    EXPECT_TRUE(alignment->Cut());
    EXPECT_EQ(alignment->Edits().size(), bFile::Alignment::kMostEdits);
    const std::uint64_t last = 2 * (bFile::Alignment::kMostEdits - 1);
    const bFile::ContextLayout layout(last + 100, last * 3 / 2 + 100, 0, 0, alignment);
    EXPECT_TRUE(layout.AlignmentCut());
    EXPECT_EQ(layout.RowOf(1, last + 50), layout.RowOf(2, last * 3 / 2 + 51));

    bFile::Alignment backwards;
    backwards.OnlyInFile1(10, 5, 10);
    backwards.OnlyInFile1(12, 5, 20);
    EXPECT_TRUE(backwards.Cut());
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

    // Files of up to 89 bytes of 0 and 1, so that about half the bytes differ.
    void RandomFiles(std::mt19937_64& random)
    {
        m_one.resize(random() % 90);
        m_two.resize(random() % 90);
        for (auto* bytes : {&m_one, &m_two}) {
            for (unsigned char& b : *bytes)
                b = static_cast<unsigned char>(random() % 2);
        }
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
        RandomFiles(random);
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

// Through an alignment: the bytes the layout puts side by side are compared, and each edit
// counts once, at its file-1 position; every start both ways, edits of either file anywhere.
TEST_F(DifferenceSearchTest, AlignedAgreesWithTheCells)
{
    std::mt19937_64 random(11);
    for (int round = 0; round < 60; ++round) {
        RandomFiles(random);
        const std::uint64_t offset1 = random() % 20, offset2 = random() % 20;
        auto alignment = std::make_shared<bFile::Alignment>();
        std::uint64_t at[2] = {offset1 > m_one.size() ? 0 : offset1,
                               offset2 > m_two.size() ? 0 : offset2};
        for (int edit = 0; edit < 4; ++edit) {
            const std::uint64_t step = random() % 20, count = 1 + random() % 12;
            const int file = 1 + static_cast<int>(random() % 2);
            at[0] += step;
            at[1] += step;
            if (at[file - 1] + count > (file == 1 ? m_one.size() : m_two.size()))
                break;
            if (file == 1)
                alignment->OnlyInFile1(at[0], count, at[1]);
            else
                alignment->OnlyInFile2(at[0], at[1], count);
            at[file - 1] += count;
        }
        bFile::DifferenceSearch search = Search(offset1, offset2, std::size_t{1} << (random() % 5));
        search.alignment = alignment;
        const bFile::ContextLayout layout(m_one.size(), m_two.size(), offset1, offset2, alignment);
        std::set<std::uint64_t> differs;
        for (std::uint64_t row = 0; row < layout.RowCount(); ++row) {
            for (unsigned column = 0; column < bFile::kContextRowBytes; ++column) {
                const auto p = layout.PositionAt(1, row, column);
                const auto q = layout.PositionAt(2, row, column);
                if (p && q && m_one[*p] != m_two[*q])
                    differs.insert(*p);
            }
        }
        for (const bFile::AlignmentEdit& edit : alignment->Edits()) {
            if (edit.position1 < m_one.size())
                differs.insert(edit.position1);
        }
        for (std::uint64_t from = 0; from <= m_one.size() + 1; ++from) {
            const auto next = differs.lower_bound(from);
            const auto after = differs.upper_bound(from);
            ASSERT_EQ(bFile::FindNextDifference(search, from, m_sink),
                      next == differs.end() ? std::nullopt : std::optional(*next))
                << round << " from " << from;
            ASSERT_EQ(bFile::FindPreviousDifference(search, from, m_sink),
                      after == differs.begin() ? std::nullopt : std::optional(*std::prev(after)))
                << round << " from " << from;
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
    bFile::ContextFiles files("one", "two", 0, 0, nullptr, search.open);
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
