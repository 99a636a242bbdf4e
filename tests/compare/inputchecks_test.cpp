#include "comparefiles.h"
#include "fileexists.h"
#include "filesource.h"
#include "hexoffset.h"
#include "reportformat.h"
#include "requestcheck.h"
#include "testsupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using lumatra::test::TempDir;

TEST(IsHexTest, AcceptsDigitsOfEitherCaseAndTheEmptyText)
{
    for (const char* text :
         {"", "0", "1a", "1A", "abcdef", "ABCDEF0123456789", "00000000000000000"})
        EXPECT_TRUE(bVarious::IsHex(text)) << text;
}

TEST(IsHexTest, RefusesSignsBlanksPrefixesAndOtherLetters)
{
    for (const char* text : {"0x1A", "10h", " 1", "1 ", "-1", "+1", "g", "1G", "\xC3\xA9"})
        EXPECT_FALSE(bVarious::IsHex(text)) << text;
    EXPECT_FALSE(bVarious::IsHex(std::string("1\0"
                                             "2",
                                             3)));
}

TEST(OffsetFromHexTest, ReadsUpToEightDigitsAsUnsigned)
{
    EXPECT_EQ(bVarious::OffsetFromHex(""), 0u);
    EXPECT_EQ(bVarious::OffsetFromHex("1a"), 0x1Au);
    EXPECT_EQ(bVarious::OffsetFromHex("1A"), 0x1Au);
    EXPECT_EQ(bVarious::OffsetFromHex("7FFFFFFF"), 0x7FFFFFFFu);
    EXPECT_EQ(bVarious::OffsetFromHex("80000000"), 0x80000000u);
    EXPECT_EQ(bVarious::OffsetFromHex("ffffffff"), 0xFFFFFFFFu);
    EXPECT_EQ(bVarious::OffsetFromHex("000000001"), std::nullopt);
    EXPECT_EQ(bVarious::OffsetFromHex("0x1A"), std::nullopt);
}

TEST(PositionFromHexTest, ReadsSixtyFourBits)
{
    EXPECT_EQ(bVarious::PositionFromHex("1a"), 0x1Au);
    EXPECT_EQ(bVarious::PositionFromHex("100000000"), 0x100000000u);
    EXPECT_EQ(bVarious::PositionFromHex("000FFFFFFFFFFFFFFFF"), 0xFFFFFFFFFFFFFFFFu);
    for (const char* bad : {"", "1FFFFFFFFFFFFFFFF", "-1", "1 ", "0x1A", "g"})
        EXPECT_EQ(bVarious::PositionFromHex(bad), std::nullopt) << bad;
}

TEST(FileExistsTest, TrueOnlyForRegularFiles)
{
    TempDir dir;
    const std::string file = dir.Write("file", "x");
    const std::string empty = dir.Write("empty", "");
    std::filesystem::create_directory(dir.Path("folder"));

    EXPECT_TRUE(bFile::FileExists(file));
    EXPECT_TRUE(bFile::FileExists(empty));
    EXPECT_FALSE(bFile::FileExists(""));
    EXPECT_FALSE(bFile::FileExists(dir.Path("missing")));
    EXPECT_FALSE(bFile::FileExists(dir.Path("folder")));
    EXPECT_FALSE(bFile::FileExists(file + "/below-a-file"));
#ifdef _WIN32
    EXPECT_FALSE(bFile::FileExists("NUL"));
#else
    std::filesystem::create_symlink(file, dir.Path("link"));
    std::filesystem::create_symlink(dir.Path("missing"), dir.Path("dangling"));
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    EXPECT_TRUE(bFile::FileExists(dir.Path("link")));
    EXPECT_FALSE(bFile::FileExists(dir.Path("dangling")));
    EXPECT_FALSE(bFile::FileExists(dir.Path("fifo")));
    EXPECT_FALSE(bFile::FileExists("/dev/null"));
#endif
}

TEST(CheckRequestTest, GivesTheOffsetsOrTheFirstFailedCheck)
{
    TempDir dir;
    const std::string file = dir.Write("file", "x"), missing = dir.Path("missing");
    struct Row
    {
        std::string path1, path2, offset1, offset2;
        std::string failedTitle, failedText; // empty when the request passes
        std::uint32_t offset1Value = 0, offset2Value = 0;
    };
    const Row rows[] = {
        {missing, missing, "x", "x", "Error", "File 1 doesn't exist!"},
        {file, dir.Path(""), "x", "x", "Error", "File 2 doesn't exist!"},
        {file, file, "0x1", "y", "Lumatra", "Offset 1 isn't HEX number !"},
        {file, file, "", "123456789", "Lumatra", "Offset 2 isn't HEX number !"},
        {file, file, "", "fFfFfFfF", "", "", 0, 0xFFFFFFFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failedText);
        const auto checked = bFile::CheckRequest(row.path1, row.path2, row.offset1, row.offset2);
        if (const auto* failed = std::get_if<bFile::FailedCheck>(&checked)) {
            EXPECT_EQ(failed->title, row.failedTitle);
            EXPECT_EQ(failed->text, row.failedText);
        } else {
            const auto offsets = std::get<bFile::CheckedOffsets>(checked);
            EXPECT_EQ(row.failedText, "");
            EXPECT_EQ(offsets.offset1, row.offset1Value);
            EXPECT_EQ(offsets.offset2, row.offset2Value);
        }
    }
}

TEST(FileSourceTest, RefusesFoldersAndFifosWithoutWaiting)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    EXPECT_THROW(bFile::OpenFileSource(dir.Path("folder")), bFile::FileSourceError);
    EXPECT_THROW(bFile::ReportedLength(dir.Path("folder")), bFile::FileSourceError);
    EXPECT_THROW(bFile::OpenFileSource(dir.Path("missing")), bFile::FileSourceError);
#ifdef _WIN32
    EXPECT_THROW(bFile::OpenFileSource("NUL"), bFile::FileSourceError);
#else
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    // A FIFO without a writer would block a plain open for ever.
    EXPECT_THROW(bFile::OpenFileSource(dir.Path("fifo")), bFile::FileSourceError);
    EXPECT_THROW(bFile::ReportedLength(dir.Path("fifo")), bFile::FileSourceError);
#endif
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(KernelFileTest, IsComparedWithTheLengthThatReadingGives)
{
    // Both report a size of 0; only reading tells.
    const std::string version = "/proc/version", osType = "/proc/sys/kernel/ostype";
    if (!std::filesystem::exists(version) || !std::filesystem::exists(osType))
        GTEST_SKIP() << "no /proc here";
    EXPECT_TRUE(bFile::FileExists(version));
    lumatra::test::RecordingSink sink;
    const auto summary = bFile::CompareFiles(version, osType, 0, 0, false, false, sink);
    const std::vector<std::string> lines = sink.Calls("line");
    EXPECT_EQ(lines[0], "File 1: " + version + " (" + std::to_string(ReadAll(version).size()) +
                            " bytes, Start offset 0x0)");
    EXPECT_EQ(lines[2], "Size of file 1 > file 2. End of file 1 will be truncated at 0x" +
                            bVarious::HexNumber(ReadAll(osType).size() - 1));
    EXPECT_GT(summary.changed, 0u);

    // Read whole to be measured, but stopped before it was opened: nothing to hold it against.
    sink.stopWhen = [] { return true; };
    EXPECT_THROW(bFile::CompareFiles(version, osType, 0, 0, false, false, sink),
                 bFile::CompareStopped);
}

TEST(KernelFileTest, LargerThanTheLimitIsAnError)
{
    // Reading gives an entry for every page the process could map: far more than the limit.
    const std::string pagemap = "/proc/self/pagemap";
    if (!std::filesystem::exists(pagemap))
        GTEST_SKIP() << "no /proc here";
    try {
        bFile::OpenFileSource(pagemap);
        ADD_FAILURE() << "read whole";
    } catch (const bFile::FileSourceError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "the system does not report its size, and reading it gives more than 64 MiB");
    }
}

} // namespace
