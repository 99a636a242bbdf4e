#include "visiblename.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

using bVarious::VisibleName;

// Where the backslash is a path separator it stands for itself, and a name with one does not
// read back.
#ifdef _WIN32
constexpr bool kBackslashReadsBack = false;
#else
constexpr bool kBackslashReadsBack = true;
#endif

// Reads a shown name back: \\, \n, \r, \t and \xHH are escapes, any other backslash is itself.
std::string ReadBack(std::string_view shown)
{
    std::string name;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const char next = i + 1 < shown.size() ? shown[i + 1] : '\0';
        if (shown[i] != '\\' || (next != '\\' && next != 'n' && next != 'r' && next != 't' &&
                                 (next != 'x' || i + 3 >= shown.size()))) {
            name += shown[i];
        } else if (next == 'x') {
            name += static_cast<char>(std::stoi(std::string(shown.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            name += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : '\\';
            ++i;
        }
    }
    return name;
}

// True when the system's converter takes the text as UTF-8 and it holds no C0 control or DEL.
bool IsCleanUtf8(const std::string& text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    }
#ifdef _WIN32
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                               static_cast<int>(text.size()), nullptr, 0) > 0 ||
           text.empty();
#else
    iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    std::string in = text;
    std::string out(text.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool ok = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != std::size_t(-1);
    iconv_close(converter);
    return ok;
#endif
}

TEST(VisibleNameTest, OrdinaryNamesStayAsTheyAre)
{
    for (const char* name : {"a.bin", "with blanks .bin", "Grüße aus Köln.bin", "日本 файл.txt",
                             "emoji \xF0\x9F\x98\x80.bin", "C:\\dir\\file", "trailing\\", "",
                             "quote'\"$x", "nbsp\xC2\xA0here"})
        EXPECT_EQ(VisibleName(name), name);
}

TEST(VisibleNameTest, ControlsAndBrokenBytesBecomeEscapes)
{
    const struct
    {
        std::string name;
        std::string shown;
    } cases[] = {
        {"a\nb", "a\\nb"},
        {"forged\r\nFile 2: x", "forged\\r\\nFile 2: x"},
        {"tab\there", "tab\\there"},
        {"\x1B[31mred", "\\x1B[31mred"},
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"del\x7F", "del\\x7F"},
        {"latin1 \xFF\xE9", "latin1 \\xFF\\xE9"},
        {"lone \x80 continuation", "lone \\x80 continuation"},
        {"cut \xE6\x97", "cut \\xE6\\x97"},
        {"overlong \xC0\xAF", "overlong \\xC0\\xAF"},
        {"surrogate \xED\xA0\x80", "surrogate \\xED\\xA0\\x80"},
        {"past U+10FFFF \xF4\x90\x80\x80", "past U+10FFFF \\xF4\\x90\\x80\\x80"},
        {"C1 csi \xC2\x9B", "C1 csi \\xC2\\x9B"},
        {"rlo \xE2\x80\xAEtxt.exe", "rlo \\xE2\\x80\\xAEtxt.exe"},
        {"line sep \xE2\x80\xA8", "line sep \\xE2\\x80\\xA8"},
#ifdef _WIN32
        // The backslash separates folders and is never doubled.
        {"C:\\users\\root", "C:\\users\\root"},
        {"Z:\\tmp\\x\\", "Z:\\tmp\\x\\"},
        {"a\\\n", "a\\\\n"},
#else
        // A backslash is doubled only where it would read as an escape.
        {"a\\nb", "a\\\\nb"},
        {"a\\x41", "a\\\\x41"},
        {"a\\\\b", "a\\\\\\b"},
        {"a\\\n", "a\\\\\\n"},
        {"a\\\xFF", "a\\\\\\xFF"},
#endif
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VisibleName(c.name), c.shown) << c.shown;
        if (kBackslashReadsBack || c.name.find('\\') == std::string::npos) {
            EXPECT_EQ(ReadBack(VisibleName(c.name)), c.name) << c.shown;
        }
    }
}

// Every pair of bytes, and each byte after a backslash: the text is clean UTF-8 and reads
// back as the name, so no two names look alike.
TEST(VisibleNameTest, EveryShortNameIsCleanAndReadsBack)
{
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            for (const std::string prefix : {"", "\\"}) {
                const std::string name =
                    prefix + static_cast<char>(first) + static_cast<char>(second);
                if (!kBackslashReadsBack && name.find('\\') != std::string::npos)
                    continue;
                const std::string shown = VisibleName(name);
                ASSERT_TRUE(IsCleanUtf8(shown)) << first << " " << second;
                ASSERT_EQ(ReadBack(shown), name) << first << " " << second;
            }
        }
    }
}

} // namespace
