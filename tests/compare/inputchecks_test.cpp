#include "fileexists.h"
#include "filesource.h"
#include "hexoffset.h"
#include "testsupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace {

using lumatra::test::TempDir;

TEST(IsHex, AcceptsDigitsOfEitherCaseAndTheEmptyText)
{
    for (const char* text :
         {"", "0", "1a", "1A", "abcdef", "ABCDEF0123456789", "00000000000000000"})
        EXPECT_TRUE(bVarious::IsHex(text)) << text;
}

TEST(IsHex, RefusesSignsBlanksPrefixesAndOtherLetters)
{
    for (const char* text : {"0x1A", "10h", " 1", "1 ", "-1", "+1", "g", "1G", "\xC3\xA9"})
        EXPECT_FALSE(bVarious::IsHex(text)) << text;
    EXPECT_FALSE(bVarious::IsHex(std::string("1\0"
                                             "2",
                                             3)));
}

TEST(OffsetFromHex, ReadsUpToEightDigitsAsUnsigned)
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

TEST(FileExists, TrueOnlyForRegularFiles)
{
    TempDir dir;
    const std::string file = dir.Write("file", "x");
    const std::string empty = dir.Write("empty", "");
    std::filesystem::create_directory(dir.Path("folder"));
    std::filesystem::create_symlink(file, dir.Path("link"));
    std::filesystem::create_symlink(dir.Path("missing"), dir.Path("dangling"));
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);

    EXPECT_TRUE(bFile::FileExists(file));
    EXPECT_TRUE(bFile::FileExists(empty));
    EXPECT_TRUE(bFile::FileExists(dir.Path("link")));
    EXPECT_FALSE(bFile::FileExists(""));
    EXPECT_FALSE(bFile::FileExists(dir.Path("missing")));
    EXPECT_FALSE(bFile::FileExists(dir.Path("dangling")));
    EXPECT_FALSE(bFile::FileExists(dir.Path("folder")));
    EXPECT_FALSE(bFile::FileExists(dir.Path("fifo")));
    EXPECT_FALSE(bFile::FileExists("/dev/null"));
    EXPECT_FALSE(bFile::FileExists(file + "/below-a-file"));
}

TEST(FileSource, RefusesFoldersAndFifosWithoutWaiting)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    // A FIFO without a writer would block a plain open for ever.
    EXPECT_THROW(bFile::OpenFileSource(dir.Path("fifo")), bFile::FileSourceError);
    EXPECT_THROW(bFile::OpenFileSource(dir.Path("folder")), bFile::FileSourceError);
    EXPECT_THROW(bFile::FileLength(dir.Path("fifo")), bFile::FileSourceError);
    EXPECT_THROW(bFile::OpenFileSource(dir.Path("missing")), bFile::FileSourceError);
}

} // namespace
