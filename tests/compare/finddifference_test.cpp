#include "finddifference.h"
#include "testsupport.h"

#include <cctype>
#include <cstddef>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Case
{
    const char* name;
    std::size_t size; // bytes in each block
    std::size_t from; // the scanned stretch [from, to)
    std::size_t to;
    std::vector<std::size_t> differences; // where block b differs from block a
    std::size_t expected;
};

// Stretches chosen around the scan's edges: the word, the first 256 bytes looked at word by
// word, the 4096-byte spans skipped with memcmp, and the tail shorter than a word.
const Case kCases[] = {
    {"empty stretch", 64, 10, 10, {10}, 10},
    {"equal blocks", 10000, 0, 10000, {}, 10000},
    {"first byte", 64, 0, 64, {0}, 0},
    {"at from", 64, 5, 64, {5}, 5},
    {"before from is not seen", 64, 5, 64, {4}, 64},
    {"at to is not seen", 64, 0, 40, {40}, 40},
    {"last byte of the stretch", 64, 0, 40, {39}, 39},
    {"last byte of a word", 64, 0, 64, {7}, 7},
    {"first byte of the second word", 64, 0, 64, {8}, 8},
    {"the earlier of two in one word", 64, 0, 64, {13, 11}, 11},
    {"tail shorter than a word", 13, 0, 13, {12}, 12},
    {"unaligned start, tail", 30, 3, 30, {29}, 29},
    {"last byte looked at word by word", 1000, 0, 1000, {255}, 255},
    {"first byte after the nearby stretch", 1000, 0, 1000, {256}, 256},
    {"inside the first span", 10000, 0, 10000, {256 + 4095}, 256 + 4095},
    {"first byte of the second span", 10000, 0, 10000, {256 + 4096}, 256 + 4096},
    {"after the last whole span", 10000, 0, 10000, {9999}, 9999},
    {"spans counted from an odd start", 10000, 7, 10000, {7 + 256 + 4096}, 7 + 256 + 4096},
    {"far from the start, stretch ends before it", 20000, 100, 15000, {15000}, 15000},
    {"the first of many", 20000, 0, 20000, {19000, 9000, 300}, 300},
};

class FindDifferenceTest : public testing::TestWithParam<Case>
{
};

TEST_P(FindDifferenceTest, FindsTheFirstDifferenceInTheStretch)
{
    const Case& c = GetParam();
    // One byte of slack before each block, so that both start off any alignment.
    std::vector<unsigned char> a(c.size + 1), b(c.size + 2);
    for (std::size_t i = 0; i < c.size; ++i)
        a[i + 1] = b[i + 2] = static_cast<unsigned char>(i * 7 + 3);
    for (const std::size_t at : c.differences)
        b[at + 2] ^= 0x80;
    EXPECT_EQ(bFile::FindDifference(a.data() + 1, b.data() + 2, c.from, c.to), c.expected);
    // Read from the end, the same stretch gives its last difference.
    std::size_t last = c.to;
    for (const std::size_t at : c.differences) {
        if (at >= c.from && at < c.to && (last == c.to || at > last))
            last = at;
    }
    EXPECT_EQ(bFile::FindLastDifference(a.data() + 1, b.data() + 2, c.from, c.to), last);
}

INSTANTIATE_TEST_SUITE_P(Stretches, FindDifferenceTest, testing::ValuesIn(kCases),
                         lumatra::test::CaseName());

// Every single-bit difference of every position up to past the first span, each found
// where it is: a byte differing in its top or bottom bit only must not hide in a word.
TEST(FindDifferenceSweepTest, EveryPositionAndBit)
{
    constexpr std::size_t kSize = 256 + 4096 + 40;
    std::vector<unsigned char> a(kSize, 0x55), b(kSize, 0x55);
    for (std::size_t at = 0; at < kSize; ++at) {
        for (const unsigned char bit : {0x01, 0x80}) {
            b[at] ^= bit;
            ASSERT_EQ(bFile::FindDifference(a.data(), b.data(), 0, kSize), at) << int(bit);
            ASSERT_EQ(bFile::FindDifference(a.data(), b.data(), at + 1, kSize), kSize);
            ASSERT_EQ(bFile::FindLastDifference(a.data(), b.data(), 0, kSize), at) << int(bit);
            ASSERT_EQ(bFile::FindLastDifference(a.data(), b.data(), 0, at), at);
            b[at] ^= bit;
        }
    }
}

} // namespace
