#include "findshift.h"
#include "shifttext.h"
#include "testsupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace {

using bFile::ShiftOutcome;
using lumatra::test::Bytes;

Bytes Random(std::size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(count);
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(generator());
    return bytes;
}

Bytes Inserted(Bytes bytes, std::size_t at, const Bytes& extra)
{
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(), extra.end());
    return bytes;
}

class FindShiftTest : public ::testing::Test
{
  protected:
    // Small blocks and a short compare limit, so that short files cross every boundary.
    bFile::ShiftResult Find(const Bytes& a, const Bytes& b, std::uint64_t window = 8192)
    {
        m_dir.Write("a.bin", a);
        m_dir.Write("b.bin", b);
        m_options.window = window;
        return FindFrom(0, 0);
    }
    bFile::ShiftResult FindFrom(std::uint64_t offset1, std::uint64_t offset2)
    {
        return bFile::FindShift(m_path1, m_path2, offset1, offset2, m_sink, m_options);
    }

    // What matters: the pair really lines the files up for the stretch it claims, which
    // (unless it is only a lower bound) ends there.
    void ExpectLinedUp(const bFile::ShiftResult& result)
    {
        ASSERT_EQ(result.outcome, ShiftOutcome::Found);
        const auto length = static_cast<std::size_t>(result.equalLength);
        std::string bytes[2];
        for (int i = 0; i < 2; ++i) {
            std::ifstream in(i == 0 ? m_path1 : m_path2, std::ios::binary);
            in.seekg(std::streamoff(i == 0 ? result.offset1 : result.offset2));
            bytes[i].resize(length + 1);
            bytes[i].resize(
                std::size_t(in.read(bytes[i].data(), std::streamsize(length + 1)).gcount()));
            ASSERT_GE(bytes[i].size(), length);
        }
        EXPECT_EQ(bytes[0].substr(0, length), bytes[1].substr(0, length));
        if (!result.lengthIsLowerBound && bytes[0].size() > length && bytes[1].size() > length) {
            EXPECT_NE(bytes[0][length], bytes[1][length]);
        }
        EXPECT_EQ(std::int64_t(result.offset2 - result.offset1),
                  std::int64_t(result.difference2 - result.difference1) + result.shift);
    }

    lumatra::test::TempDir m_dir;
    std::string m_path1 = m_dir.Path("a.bin"), m_path2 = m_dir.Path("b.bin");
    lumatra::test::RecordingSink m_sink;
    bFile::ShiftOptions m_options{.compareLimit = 3000, .blockSize = 1000};
};

TEST_F(FindShiftTest, InsertionsAndRemovalsAnywhereAreLinedUp)
{
    const Bytes base = Random(20000, 1);
    for (const std::size_t size : {1, 2, 17, 4096}) {
        for (const std::size_t at : {std::size_t{0}, std::size_t{9999}, base.size() - 100}) {
            for (const bool intoFile2 : {true, false}) {
                SCOPED_TRACE(std::to_string(size) + " bytes at " + std::to_string(at) +
                             (intoFile2 ? " into file 2" : " into file 1"));
                const Bytes changed = Inserted(base, at, Random(size, unsigned(at + size)));
                const auto result = intoFile2 ? Find(base, changed) : Find(changed, base);
                ExpectLinedUp(result);
                EXPECT_EQ(result.shift, intoFile2 ? std::int64_t(size) : -std::int64_t(size));
                EXPECT_FALSE(result.ambiguous);
            }
        }
    }

    // The window bounds the shifts tried.
    const Bytes changed = Inserted(base, 500, Random(5000, 3));
    EXPECT_EQ(bFile::ShiftNotFoundText(Find(base, changed, 4999)),
              "The files first differ at 0x1F4 in file 1 and 0x1F4 in file 2; no shift of up to "
              "0x1387 bytes either way makes them equal again for 0x20 bytes.");
    ExpectLinedUp(Find(base, changed, 5000));
}

TEST_F(FindShiftTest, RepeatingDataPicksTheSmallestShiftAndSaysSo)
{
    Bytes pattern;
    for (int i = 0; i < 4000; ++i)
        pattern.insert(pattern.end(), {'X', 'Y'});
    const Bytes a = Inserted(Random(100, 4), 100, pattern);
    const auto result = Find(a, Inserted(a, 100, {'Z', 'X', 'Y', 'X', 'Y'}));
    ExpectLinedUp(result);
    EXPECT_EQ(result.shift, 1);
    EXPECT_TRUE(result.ambiguous && result.lengthIsLowerBound);
    EXPECT_EQ(bFile::ShiftFoundText(result),
              "File 2 is shifted by +0x1 from 0x64: equal for at least 0xBB8 bytes. The data "
              "repeats: other shifts fit as well, the smallest was taken.");

    // +1 and -1 fit equally well: file 2's insertion is taken.
    Bytes swapped = Inserted(Random(100, 4), 100, {'Y'});
    swapped.insert(swapped.end(), pattern.begin(), pattern.end());
    const auto tie = Find(a, swapped);
    ExpectLinedUp(tie);
    EXPECT_TRUE(tie.shift == 1 && tie.ambiguous);
}

TEST_F(FindShiftTest, NoShiftWhenNothingOrOnlyReplacedBytesDiffer)
{
    const Bytes base = Random(5000, 5);
    const auto equal = Find(base, Inserted(base, base.size(), {7}));
    EXPECT_EQ(equal.outcome, ShiftOutcome::NoDifference);
    EXPECT_EQ(equal.difference1, base.size());

    Bytes replaced = base;
    replaced[1234] ^= 0xFF;
    replaced[1240] ^= 0x01;
    const auto result = Find(base, replaced);
    EXPECT_EQ(result.outcome, ShiftOutcome::NotFound);
    EXPECT_EQ(result.difference1, 1234u);
}

TEST_F(FindShiftTest, ChainWalksFromOneInsertionToTheNextPastFourGiB)
{
    // Two insertions behind 4 GiB of holes.
    const std::uint64_t far = (std::uint64_t{1} << 32) + 0x1234;
    const Bytes base = Random(30000, 6);
    const Bytes changed = Inserted(Inserted(base, 20000, Random(7, 7)), 5000, Random(300, 8));
    for (const auto& [path, bytes] : {std::pair{m_path1, &base}, std::pair{m_path2, &changed}}) {
        m_dir.Write(path, "");
        std::filesystem::resize_file(path, far);
        std::ofstream(path, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(bytes->data()), std::streamsize(bytes->size()));
    }
    auto result = FindFrom(far - 10, far - 10);
    ExpectLinedUp(result);
    EXPECT_EQ(result.offset1 - far, 5000u);
    EXPECT_EQ(result.offset2 - far, 5300u);
    result = FindFrom(result.offset1, result.offset2);
    ExpectLinedUp(result);
    EXPECT_EQ(result.offset1 - far, 20000u);
    EXPECT_EQ(result.offset2 - far, 20307u);
    EXPECT_EQ(FindFrom(result.offset1, result.offset2).outcome, ShiftOutcome::NoDifference);
}

// Every shift tried one by one, the slow way: the longest stretch (as far as limit) wins,
// then the smaller shift, then file 2's insertion.
struct Reference
{
    std::int64_t shift = 0;
    std::size_t length = 0;
    bool ambiguous = false;
};
Reference SlowSearch(const Bytes& a, const Bytes& b, std::size_t window, std::size_t limit,
                     std::size_t minimum)
{
    std::size_t d = 0;
    while (d < a.size() && d < b.size() && a[d] == b[d])
        ++d;
    Reference best;
    for (std::size_t magnitude = 1; magnitude <= window; ++magnitude) {
        for (const int sign : {+1, -1}) {
            const std::size_t i = sign < 0 ? d + magnitude : d, j = sign > 0 ? d + magnitude : d;
            std::size_t k = 0;
            while (i + k < a.size() && j + k < b.size() && k < limit && a[i + k] == b[j + k])
                ++k;
            const bool toEnds = i + k == a.size() && j + k == b.size();
            if (k < minimum && !(k > 0 && toEnds))
                continue;
            if (best.length == k)
                best.ambiguous = true;
            if (k > best.length)
                best = {sign * std::int64_t(magnitude), k, false};
        }
    }
    return best;
}

TEST_F(FindShiftTest, AgreesWithTryingEveryShiftOnTwoLetterData)
{
    std::mt19937 generator(12);
    for (int round = 0; round < 150; ++round) {
        // Short periods with a few flaws, so that many shifts tie or nearly tie.
        Bytes a(200 + generator() % 400);
        const std::size_t period = 1 + generator() % 6;
        for (std::size_t i = 0; i < a.size(); ++i)
            a[i] = static_cast<unsigned char>(i % period == 0 || generator() % 8 == 0);
        Bytes b = a;
        const std::size_t at = generator() % a.size();
        if (round % 2 == 0)
            b.erase(b.begin() + at, b.begin() + std::min(b.size(), at + generator() % 40));
        else
            b = Inserted(b, at, Bytes(generator() % 40, static_cast<unsigned char>(round % 3)));
        b.push_back(static_cast<unsigned char>(generator() % 3));
        SCOPED_TRACE("round " + std::to_string(round));

        m_options.blockSize = 1 + generator() % 64;
        m_options.compareLimit = 20 + generator() % 200;
        m_options.minimumStretch = 1 + generator() % 8;
        const auto result = Find(a, b, 50);
        const Reference expected =
            SlowSearch(a, b, 50, m_options.compareLimit, m_options.minimumStretch);
        if (expected.length == 0) {
            EXPECT_NE(result.outcome, ShiftOutcome::Found);
            continue;
        }
        ExpectLinedUp(result);
        EXPECT_EQ(result.shift, expected.shift);
        EXPECT_EQ(result.equalLength, expected.length);
        EXPECT_EQ(result.ambiguous, expected.ambiguous);
    }
}

TEST_F(FindShiftTest, FileCutOrRewrittenDuringTheSearchIsAnError)
{
    const Bytes base = Random(20000, 13);
    for (const std::size_t size : {base.size() + 3, std::size_t{500}}) {
        m_sink.onProgress = [&, size] {
            m_sink.onProgress = nullptr;
            m_dir.Write("b.bin", Bytes(size, 7));
        };
        try {
            Find(base, Inserted(base, 15000, {1, 2, 3}));
            ADD_FAILURE() << "no error";
        } catch (const bFile::CompareError& error) {
            EXPECT_EQ(error.what(), "File 2 (" + m_path2 +
                                        (size == 500 ? ") got shorter" : ") changed") +
                                        " during the search for a shift");
        }
    }
}

} // namespace
