#include "findshift.h"
#include "shifttext.h"
#include "testsupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using lumatra::test::Bytes;
using lumatra::test::RecordingSink;
using lumatra::test::TempDir;

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

std::string ReadAt(const std::string& path, std::uint64_t position, std::size_t count)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(position));
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

class FindShiftTest : public ::testing::Test
{
  protected:
    // Small blocks and a short compare limit, so that short files cross every boundary.
    bFile::ShiftResult Find(const Bytes& a, const Bytes& b, std::uint64_t offset1 = 0,
                            std::uint64_t offset2 = 0, std::uint64_t window = 8192)
    {
        m_path1 = m_dir.Write("a.bin", a);
        m_path2 = m_dir.Write("b.bin", b);
        return FindIn(offset1, offset2, window);
    }

    bFile::ShiftResult FindIn(std::uint64_t offset1, std::uint64_t offset2,
                              std::uint64_t window = 8192)
    {
        bFile::ShiftOptions options;
        options.window = window;
        options.blockSize = 1000;
        options.compareLimit = 3000;
        return bFile::FindShift(m_path1, m_path2, offset1, offset2, m_sink, options);
    }

    // What matters: the pair really lines the files up, for the stretch it claims, and
    // (unless it claims only a lower bound) the stretch ends there.
    void ExpectLinedUp(const bFile::ShiftResult& result)
    {
        ASSERT_EQ(result.outcome, bFile::ShiftOutcome::Found);
        const auto length = static_cast<std::size_t>(result.equalLength);
        const std::string one = ReadAt(m_path1, result.offset1, length + 1);
        const std::string two = ReadAt(m_path2, result.offset2, length + 1);
        ASSERT_GE(std::min(one.size(), two.size()), length);
        EXPECT_EQ(one.substr(0, length), two.substr(0, length));
        if (!result.lengthIsLowerBound && one.size() > length && two.size() > length) {
            EXPECT_NE(one[length], two[length]);
        }
        EXPECT_EQ(static_cast<std::int64_t>(result.offset2 - result.offset1),
                  static_cast<std::int64_t>(result.difference2 - result.difference1) +
                      result.shift);
    }

    TempDir m_dir;
    std::string m_path1, m_path2;
    RecordingSink m_sink;
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
}

TEST_F(FindShiftTest, WindowBoundsTheShiftsTried)
{
    const Bytes base = Random(20000, 2);
    const Bytes changed = Inserted(base, 500, Random(5000, 3));
    const auto narrow = Find(base, changed, 0, 0, 4999);
    EXPECT_EQ(narrow.outcome, bFile::ShiftOutcome::NotFound);
    EXPECT_EQ(bFile::ShiftNotFoundText(narrow),
              "The files first differ at 0x1F4 in file 1 and 0x1F4 in file 2; no shift of up to "
              "0x1387 bytes either way makes them equal again for 0x20 bytes.");
    ExpectLinedUp(Find(base, changed, 0, 0, 5000));
}

TEST_F(FindShiftTest, RepeatingDataPicksTheSmallestShiftAndSaysSo)
{
    Bytes pattern;
    for (int i = 0; i < 4000; ++i)
        pattern.insert(pattern.end(), {'X', 'Y'});
    const Bytes a = Inserted(Random(100, 4), 100, pattern);
    const Bytes b = Inserted(a, 100, {'Z', 'X', 'Y', 'X', 'Y'});
    const auto result = Find(a, b);
    ExpectLinedUp(result);
    EXPECT_EQ(result.shift, 1);
    EXPECT_TRUE(result.ambiguous);
    EXPECT_TRUE(result.lengthIsLowerBound);
    EXPECT_EQ(bFile::ShiftFoundText(result),
              "File 2 is shifted by +0x1 from 0x64: equal for at least 0xBB8 bytes. The data "
              "repeats: other shifts fit as well, the smallest was taken.");

    // +1 and -1 fit equally well: file 2's insertion is taken.
    Bytes swapped = Inserted(Random(100, 4), 100, {'Y'});
    swapped.insert(swapped.end(), pattern.begin(), pattern.end());
    const auto tie = Find(a, swapped);
    ExpectLinedUp(tie);
    EXPECT_EQ(tie.shift, 1);
    EXPECT_TRUE(tie.ambiguous);
}

TEST_F(FindShiftTest, NoShiftWhenNothingOrOnlyReplacedBytesDiffer)
{
    const Bytes base = Random(5000, 5);
    Bytes longer = base;
    longer.push_back(7);
    const auto equal = Find(base, longer);
    EXPECT_EQ(equal.outcome, bFile::ShiftOutcome::NoDifference);
    EXPECT_EQ(equal.difference1, base.size());

    Bytes replaced = base;
    replaced[1234] ^= 0xFF;
    replaced[1240] ^= 0x01;
    const auto result = Find(base, replaced);
    EXPECT_EQ(result.outcome, bFile::ShiftOutcome::NotFound);
    EXPECT_EQ(result.difference1, 1234u);
}

TEST_F(FindShiftTest, ChainWalksFromOneInsertionToTheNext)
{
    const Bytes base = Random(30000, 6);
    const Bytes changed =
        Inserted(Inserted(base, 20000, Random(7, 7)), 5000, Random(300, 8)); // two insertions
    auto result = Find(base, changed);
    ExpectLinedUp(result);
    EXPECT_EQ(result.offset1, 5000u);
    EXPECT_EQ(result.offset2, 5300u);
    result = FindIn(result.offset1, result.offset2);
    ExpectLinedUp(result);
    EXPECT_EQ(result.offset1, 20000u);
    EXPECT_EQ(result.offset2, 20307u);
    EXPECT_EQ(FindIn(result.offset1, result.offset2).outcome, bFile::ShiftOutcome::NoDifference);
}

TEST_F(FindShiftTest, PositionsPastFourGiBInSparseFiles)
{
    const std::uint64_t far = (std::uint64_t{1} << 32) + 0x1234;
    const Bytes base = Random(10000, 9);
    const Bytes changed = Inserted(base, 3000, Random(16, 10));
    for (const auto& [name, bytes] : {std::pair{"a.bin", &base}, std::pair{"b.bin", &changed}}) {
        const std::string path = m_dir.Write(name, "");
        std::filesystem::resize_file(path, far);
        std::ofstream(path, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(bytes->data()),
                   static_cast<std::streamsize>(bytes->size()));
    }
    m_path1 = m_dir.Path("a.bin");
    m_path2 = m_dir.Path("b.bin");
    const auto result = FindIn(far - 10, far - 10);
    ExpectLinedUp(result);
    EXPECT_EQ(result.offset1, far + 3000);
    EXPECT_EQ(result.offset2, far + 3016);
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

        bFile::ShiftOptions options;
        options.window = 50;
        options.blockSize = 1 + generator() % 64;
        options.compareLimit = 20 + generator() % 200;
        options.minimumStretch = 1 + generator() % 8;
        m_path1 = m_dir.Write("a.bin", a);
        m_path2 = m_dir.Write("b.bin", b);
        const auto result = bFile::FindShift(m_path1, m_path2, 0, 0, m_sink, options);
        const Reference expected =
            SlowSearch(a, b, 50, options.compareLimit, options.minimumStretch);
        if (expected.length == 0) {
            EXPECT_NE(result.outcome, bFile::ShiftOutcome::Found);
            continue;
        }
        ExpectLinedUp(result);
        EXPECT_EQ(result.shift, expected.shift);
        EXPECT_EQ(result.equalLength, expected.length);
        EXPECT_EQ(result.ambiguous, expected.ambiguous);
    }
}

TEST_F(FindShiftTest, FileThatFailsOrChangesEndsInANamedError)
{
    struct FailingRead : bFile::FileSource
    {
        std::unique_ptr<bFile::FileSource> real;
        void Seek(std::uint64_t position) override { real->Seek(position); }
        std::size_t Read(unsigned char*, std::size_t) override
        {
            throw bFile::FileSourceError("Input/output error");
        }
        std::uint64_t Size() override { return real->Size(); }
    };
    const Bytes base = Random(20000, 13);
    m_path1 = m_dir.Write("a.bin", base);
    m_path2 = m_dir.Write("b.bin", Inserted(base, 15000, {1, 2, 3}));
    bFile::ShiftOptions options;
    options.blockSize = 1000;
    options.openFile = [this](const std::string& path) -> std::unique_ptr<bFile::FileSource> {
        auto source = bFile::OpenFileSource(path);
        if (path != m_path2)
            return source;
        auto failing = std::make_unique<FailingRead>();
        failing->real = std::move(source);
        return failing;
    };
    const auto message = [&] {
        try {
            bFile::FindShift(m_path1, m_path2, 0, 0, m_sink, options);
        } catch (const bFile::CompareError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(), "Cannot read file 2 (" + m_path2 + "): Input/output error");

    // Rewritten in place at the same size, or cut, while the search runs.
    options.openFile = bFile::OpenFileSource;
    for (const std::size_t size : {base.size() + 3, std::size_t{500}}) {
        m_sink.onProgress = [&, size] {
            m_sink.onProgress = nullptr;
            m_dir.Write("b.bin", Bytes(size, 7));
        };
        EXPECT_EQ(message(),
                  size == 500 ? "File 2 (" + m_path2 + ") got shorter during the search for a shift"
                              : "File 2 (" + m_path2 + ") changed during the search for a shift");
    }
}

TEST_F(FindShiftTest, ProgressGoesThroughTheSinkWhichCanStopTheSearch)
{
    struct Stopped
    {
    };
    const Bytes base = Random(50000, 11);
    m_sink.onProgress = [this] {
        if (m_sink.lastProgress.starts_with("Looking for the shift"))
            throw Stopped{};
    };
    EXPECT_THROW(Find(base, Inserted(base, 40000, {1, 2, 3})), Stopped);
    EXPECT_GT(m_sink.progressCalls, 40u); // one per block on the way
}

} // namespace
