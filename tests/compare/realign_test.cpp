#include "comparefiles.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

using lumatra::test::Bytes;

Bytes Random(std::size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(count);
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(generator() | 1); // never 0: apart from zeros
    return bytes;
}

Bytes Cut(Bytes bytes, std::size_t at, std::size_t count)
{
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
    return bytes;
}

Bytes Put(Bytes bytes, std::size_t at, const Bytes& extra)
{
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(), extra.end());
    return bytes;
}

Bytes Repeat(std::string_view pattern, std::size_t count)
{
    Bytes bytes;
    while (bytes.size() < count)
        bytes.push_back(static_cast<unsigned char>(pattern[bytes.size() % pattern.size()]));
    return bytes;
}

Bytes Replaced(Bytes bytes, std::size_t at, std::size_t count)
{
    for (std::size_t i = at; i < at + count; ++i)
        bytes[i] ^= 0x5A;
    return bytes;
}

class RealignTest : public ::testing::Test
{
  protected:
    // The report's body and summary, without its header.
    std::string Body(const Bytes& a, const Bytes& b, bool realign = true, bool byLines = false)
    {
        m_dir.Write("a.bin", a);
        m_dir.Write("b.bin", b);
        lumatra::test::RecordingSink sink;
        bFile::CompareOptions options;
        options.blockSize = 100; // the walk crosses its blocks everywhere
        options.realign = realign;
        options.shiftWindow = 4096;
        bFile::CompareFiles(m_dir.Path("a.bin"), m_dir.Path("b.bin"), 0, 0, byLines, false, sink,
                            options);
        const std::size_t body = sink.report.find("\r\n\r\n");
        return sink.report.substr(body + 4, sink.report.size() - body - 6);
    }

    lumatra::test::TempDir m_dir;
};

TEST_F(RealignTest, EditsAreFoundWhereTheyHappen)
{
    const Bytes base = Random(3000, 1);
    const Bytes zeros(3000, 0);
    struct Case
    {
        const char* what;
        Bytes a, b;
        const char* body; // "" counts as the summary only
    };
    const Case cases[] = {
        {"insertion", base, Put(base, 1000, Random(85, 2)),
         "000003E8: 85 bytes only in file 2, at 000003E8-0000043C (shift now +0x55)\r\n\r\n"
         "0 bytes changed, 0 locations, 1 insertions (85 bytes), 0 removals (0 bytes)"},
        {"removal", base, Cut(base, 1000, 256),
         "000003E8: 256 bytes only in file 1, at 000003E8-000004E7 (shift now -0x100)\r\n\r\n"
         "0 bytes changed, 0 locations, 0 insertions (0 bytes), 1 removals (256 bytes)"},
        {"one byte in, near the end", base, Put(base, 2990, {7}),
         "00000BAE: 1 bytes only in file 2, at 00000BAE-00000BAE (shift now +0x1)\r\n\r\n"
         "0 bytes changed, 0 locations, 1 insertions (1 bytes), 0 removals (0 bytes)"},
        {"bytes replaced before the insertion", base,
         Put(Replaced(base, 1000, 3), 1003, Random(40, 3)),
         "000003E8: F9 A3\r\n000003E9: F7 AD\r\n000003EA: 85 DF\r\n"
         "000003EB: 40 bytes only in file 2, at 000003EB-00000412 (shift now +0x28)\r\n\r\n"
         "3 bytes changed, 1 locations, 1 insertions (40 bytes), 0 removals (0 bytes)"},
        {"the longer file's end", base, Bytes(base.begin(), base.begin() + 2900),
         "00000B54: 100 bytes only in file 1, at 00000B54-00000BB7 (shift now -0x64)\r\n\r\n"
         "0 bytes changed, 0 locations, 0 insertions (0 bytes), 1 removals (100 bytes)"},
        {"non-zero bytes into zeros", zeros, Put(zeros, 500, Random(50, 4)),
         "000001F4: 50 bytes only in file 2, at 000001F4-00000225 (shift now +0x32)\r\n\r\n"
         "0 bytes changed, 0 locations, 1 insertions (50 bytes), 0 removals (0 bytes)"},
        {"two insertions into zeros a little apart stay two", zeros,
         Put(Put(zeros, 500, Random(50, 4)), 2600, Random(40, 7)),
         "000001F4: 50 bytes only in file 2, at 000001F4-00000225 (shift now +0x32)\r\n"
         "000009F6: 40 bytes only in file 2, at 00000A28-00000A4F (shift now +0x5A)\r\n\r\n"
         "0 bytes changed, 0 locations, 2 insertions (90 bytes), 0 removals (0 bytes)"},
        {"a repeating pattern takes the smallest shift", Repeat("abcd", 3000),
         Put(Repeat("abcd", 3000), 1000, Repeat("xyzw", 40)),
         "000003E8: 40 bytes only in file 2, at 000003E8-0000040F (shift now +0x28)\r\n\r\n"
         "0 bytes changed, 0 locations, 1 insertions (40 bytes), 0 removals (0 bytes)"},
        {"an insertion then a removal", base, Cut(Put(base, 500, Random(33, 5)), 2033, 40),
         "000001F4: 33 bytes only in file 2, at 000001F4-00000214 (shift now +0x21)\r\n"
         "000007D0: 40 bytes only in file 1, at 000007D0-000007F7 (shift now -0x7)\r\n\r\n"
         "0 bytes changed, 0 locations, 1 insertions (33 bytes), 1 removals (40 bytes)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Body(c.a, c.b), c.body) << c.what;
}

// Bytes that were only replaced give the plain comparison's body, however long the run.
TEST_F(RealignTest, ReplacedBytesAreNoShift)
{
    const Bytes base = Random(5000, 6);
    for (const std::size_t run : {1, 31, 32, 33, 200, 4000}) {
        const Bytes b = Replaced(base, 300, run);
        const std::string plain = Body(base, b, false);
        std::string realigned = Body(base, b, true);
        const std::string counts = ", 0 insertions (0 bytes), 0 removals (0 bytes)";
        ASSERT_NE(realigned.find(counts), std::string::npos);
        EXPECT_TRUE(realigned.replace(realigned.find(counts), counts.size(), "") == plain) << run;
    }
}

} // namespace
