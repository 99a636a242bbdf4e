#include "bytechar.h"

#include <array>

#ifdef _WIN32
#include <windows.h>
#endif

namespace bFile {

namespace {

// Windows-1252 from 0x80 to 0x9F. The five bytes it leaves undefined keep the control
// character of the same code, as Windows itself maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Windows-1252 character of a byte; Latin-1 but for 0x80 to 0x9F.
char16_t Cp1252(std::uint8_t value)
{
    return value >= 0x80 && value < 0xA0 ? kCp1252High[value - 0x80] : char16_t{value};
}

// The character a byte stands for in the system's code page; Windows-1252 elsewhere.
char16_t CodePageChar(std::uint8_t value)
{
#ifdef _WIN32
    const char byte = static_cast<char>(value);
    wchar_t wide = 0;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) == 1)
        return static_cast<char16_t>(wide);
#endif
    return Cp1252(value);
}

struct Utf8Char
{
    char bytes[3];
    std::uint8_t size;
};

// The UTF-8 bytes of a character of the Basic Multilingual Plane.
Utf8Char EncodeUtf8(char16_t c)
{
    if (c < 0x80)
        return {{static_cast<char>(c)}, 1};
    if (c < 0x800)
        return {{static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))}, 2};
    return {{static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
             static_cast<char>(0x80 | (c & 0x3F))},
            3};
}

// Every byte's character in UTF-8, worked out once.
const std::array<Utf8Char, 256>& ByteChars()
{
    static const std::array<Utf8Char, 256> kTable = [] {
        std::array<Utf8Char, 256> chars{};
        for (int value = 0; value < 256; ++value) {
            // Blank and the signs up to '$' are replaced as well: the threshold is '%'.
            chars[value] = value < 0x25
                               ? EncodeUtf8(0x0001)
                               : EncodeUtf8(CodePageChar(static_cast<std::uint8_t>(value)));
        }
        return chars;
    }();
    return kTable;
}

} // namespace

std::string_view ByteChar(std::uint8_t value)
{
    const Utf8Char& c = ByteChars()[value];
    return {c.bytes, c.size};
}

} // namespace bFile
