#include "reportformat.h"

#include <array>
#include <bit>

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

// Writes value's lowest width hex digits, in upper case and with leading zeros; returns the
// end.
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

// What write puts into a buffer, as a string.
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
    // Nearly every label has eight digits: those take four lookups without a loop.
    if (position <= 0xFFFFFFFF) {
        for (int i = 6; i >= 0; i -= 2) {
            const std::size_t pair = static_cast<std::size_t>(position & 0xFF) * 2;
            out[i] = kHexPairs[pair];
            out[i + 1] = kHexPairs[pair + 1];
            position >>= 8;
        }
        out[8] = ':';
        return out + 9;
    }
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
