#include "reportformat.h"

#include <array>
#include <bit>

#ifdef _WIN32
#include <windows.h>
#endif

namespace bVarious {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Significant hex digits of value, at least 1.
int HexWidth(std::uint64_t value)
{
    return value == 0 ? 1 : (64 - std::countl_zero(value) + 3) / 4;
}

// "00" to "FF", so that hex numbers take one lookup per byte.
constexpr std::array<char, 512> kHexPairs = [] {
    std::array<char, 512> pairs{};
    for (int i = 0; i < 256; ++i) {
        pairs[2 * i] = kHexDigits[i >> 4];
        pairs[2 * i + 1] = kHexDigits[i & 0xF];
    }
    return pairs;
}();

char* WriteHexDigits(char* out, std::uint64_t value, int width)
{
    int i = width;
    for (; i >= 2; i -= 2) {
        const std::size_t pair = static_cast<std::size_t>(value & 0xFF) * 2;
        out[i - 2] = kHexPairs[pair];
        out[i - 1] = kHexPairs[pair + 1];
        value >>= 8;
    }
    if (i == 1)
        out[0] = kHexDigits[value & 0xF];
    return out + width;
}

// "00" to "99", so that decimal numbers take one division per two digits.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

template <typename Writer> std::string AsString(Writer write)
{
    char text[24];
    return std::string(text, write(text));
}

} // namespace

char* WriteByteHex(char* out, std::uint8_t value)
{
    out[0] = kHexPairs[value * 2];
    out[1] = kHexPairs[value * 2 + 1];
    return out + 2;
}

char* WriteOffsetLabel(char* out, std::uint64_t position)
{
    const int width = HexWidth(position);
    out = WriteHexDigits(out, position, width < 8 ? 8 : width);
    *out = ':';
    return out + 1;
}

char* WriteHex(char* out, std::uint64_t value)
{
    return WriteHexDigits(out, value, HexWidth(value));
}

char* WriteDecimal(char* out, std::uint64_t value)
{
    char reversed[20];
    char* end = reversed + sizeof reversed;
    char* start = end;
    while (value >= 100) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        *--start = kDigitPairs[pair + 1];
        *--start = kDigitPairs[pair];
    }
    if (value >= 10) {
        *--start = kDigitPairs[value * 2 + 1];
        *--start = kDigitPairs[value * 2];
    } else {
        *--start = static_cast<char>('0' + value);
    }
    while (start != end)
        *out++ = *start++;
    return out;
}

std::string ByteHex(std::uint8_t value)
{
    return AsString([value](char* out) { return WriteByteHex(out, value); });
}

std::string OffsetLabel(std::uint64_t position)
{
    return AsString([position](char* out) { return WriteOffsetLabel(out, position); });
}

std::string HexNumber(std::uint64_t value)
{
    return AsString([value](char* out) { return WriteHex(out, value); });
}

std::string DecimalNumber(std::uint64_t value)
{
    return AsString([value](char* out) { return WriteDecimal(out, value); });
}

} // namespace bVarious

namespace bFile {

namespace {

// Windows-1252 from 0x80 to 0x9F. The five bytes it leaves undefined keep the control
// character of the same code, as Windows itself maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Cp1252(std::uint8_t value)
{
    return value >= 0x80 && value < 0xA0 ? kCp1252High[value - 0x80] : char16_t{value};
}

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

const std::array<Utf8Char, 256>& ByteChars()
{
    static const std::array<Utf8Char, 256> table = [] {
        std::array<Utf8Char, 256> chars{};
        for (int value = 0; value < 256; ++value) {
            // Blank and the signs up to '$' are replaced as well: the threshold is '%'.
            chars[value] = value < 0x25
                               ? EncodeUtf8(0x0001)
                               : EncodeUtf8(CodePageChar(static_cast<std::uint8_t>(value)));
        }
        return chars;
    }();
    return table;
}

} // namespace

std::string_view ByteChar(std::uint8_t value)
{
    const Utf8Char& c = ByteChars()[value];
    return {c.bytes, c.size};
}

} // namespace bFile
