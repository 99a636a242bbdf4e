#include "bytechar.h"
#include "reportformat.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif
#include <limits>
#include <string>
#include <vector>

namespace {

std::string ToCharsText(std::uint64_t value, int base)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, base);
    std::string s(text, result.ptr);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

// Numbers around every digit-count boundary, in both bases.
std::vector<std::uint64_t> EdgeValues()
{
    std::vector<std::uint64_t> values = {0, std::numeric_limits<std::uint64_t>::max()};
    for (std::uint64_t p = 1; p != 0 && p <= std::numeric_limits<std::uint64_t>::max() / 10;
         p *= 10)
        values.insert(values.end(), {p - 1, p, p + 1});
    for (int bits = 1; bits < 64; ++bits)
        values.insert(values.end(), {(std::uint64_t{1} << bits) - 1, std::uint64_t{1} << bits});
    return values;
}

// What the system's converter makes of a Windows-1252 byte, as UTF-8; empty where it knows
// no character.
std::string Cp1252ByIconv(unsigned char byte)
{
#ifdef _WIN32
    const char in = static_cast<char>(byte);
    wchar_t wide = 0;
    char out[8];
    if (MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, &in, 1, &wide, 1) != 1)
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, &wide, 1, out, sizeof out, nullptr, nullptr);
    return std::string(out, static_cast<std::size_t>(length));
#else
    iconv_t converter = iconv_open("UTF-8", "CP1252");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return "?";
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const bool ok = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    return ok ? std::string(out, outPtr) : std::string();
#endif
}

TEST(ReportFormatTest, ByteHexIsTwoUpperCaseDigitsForEveryByte)
{
    for (int value = 0; value < 256; ++value) {
        const std::string hex = bVarious::ByteHex(static_cast<std::uint8_t>(value));
        ASSERT_EQ(hex.size(), 2u) << value;
        const std::string digits = ToCharsText(static_cast<std::uint64_t>(value), 16);
        EXPECT_EQ(hex, std::string(2 - digits.size(), '0') + digits);
    }
    EXPECT_EQ(bVarious::ByteHex(0x0A), "0A");
}

TEST(ReportFormatTest, OffsetLabelKeepsEightDigitsAndGrowsBeyondThem)
{
    EXPECT_EQ(bVarious::OffsetLabel(26), "0000001A:");
    EXPECT_EQ(bVarious::OffsetLabel(0), "00000000:");
    EXPECT_EQ(bVarious::OffsetLabel(0xFFFFFFFF), "FFFFFFFF:");
    EXPECT_EQ(bVarious::OffsetLabel(0x100000000), "100000000:");
    for (const std::uint64_t value : EdgeValues()) {
        std::string digits = ToCharsText(value, 16);
        digits.insert(0, digits.size() < 8 ? 8 - digits.size() : 0, '0');
        EXPECT_EQ(bVarious::OffsetLabel(value), digits + ":") << value;
    }
}

TEST(ReportFormatTest, NumbersHaveNoLeadingZeros)
{
    for (const std::uint64_t value : EdgeValues()) {
        EXPECT_EQ(bVarious::HexNumber(value), ToCharsText(value, 16)) << value;
        EXPECT_EQ(bVarious::DecimalNumber(value), ToCharsText(value, 10)) << value;
    }
}

TEST(ReportFormatTest, ByteCharReplacesEverythingBelowThePercentSign)
{
    for (int value = 0; value < 0x25; ++value)
        EXPECT_EQ(bFile::ByteChar(static_cast<std::uint8_t>(value)), "\x01") << value;
    EXPECT_EQ(bFile::ByteChar(0x25), "%");
    for (int value = 0x25; value < 0x80; ++value)
        EXPECT_EQ(bFile::ByteChar(static_cast<std::uint8_t>(value)),
                  std::string(1, static_cast<char>(value)));
}

TEST(ReportFormatTest, ByteCharFollowsWindows1252AboveAscii)
{
    // The five bytes Windows-1252 leaves undefined give the control character of the same
    // code; every other byte what the system's converter says.
    const std::vector<unsigned char> undefined = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
    for (int value = 0x80; value < 256; ++value) {
        const auto byte = static_cast<unsigned char>(value);
        const bool isUndefined =
            std::find(undefined.begin(), undefined.end(), byte) != undefined.end();
        const std::string expected =
            isUndefined ? std::string{'\xC2', static_cast<char>(byte)} : Cp1252ByIconv(byte);
        EXPECT_EQ(bFile::ByteChar(byte), expected) << value;
    }
    EXPECT_EQ(bFile::ByteChar(0x80), "\u20AC");
    EXPECT_EQ(bFile::ByteChar(0xE9), "\u00E9");
}

} // namespace
