#include "hexoffset.h"

namespace bVarious {

namespace {

// The value of a hex digit in either case; -1 for any other character.
int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

bool IsHex(std::string_view text)
{
    for (const char c : text) {
        if (HexDigitValue(c) < 0)
            return false;
    }
    return true;
}

std::optional<std::uint32_t> OffsetFromHex(std::string_view text)
{
    if (text.size() > kMaxOffsetDigits || !IsHex(text))
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text)
        value = value << 4 | static_cast<std::uint32_t>(HexDigitValue(c));
    return value;
}

std::optional<std::uint64_t> PositionFromHex(std::string_view text)
{
    if (text.empty() || !IsHex(text))
        return std::nullopt;
    const std::size_t first = text.find_first_not_of('0');
    const std::string_view digits = first == text.npos ? "" : text.substr(first);
    if (digits.size() > 16)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits)
        value = value << 4 | static_cast<std::uint64_t>(HexDigitValue(c));
    return value;
}

} // namespace bVarious
