#include "visiblename.h"

#include <cstdint>

namespace bVarious {

namespace {

// On Windows the backslash separates folders, and no name can hold the control characters
// that an escape stands for: a path is shown as it was written.
#ifdef _WIN32
constexpr bool kBackslashIsSeparator = true;
#else
constexpr bool kBackslashIsSeparator = false;
#endif

// The length of the well-formed UTF-8 sequence at the start of text, 0 when there is none;
// its code point goes to codePoint.
std::size_t SequenceAt(std::string_view text, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        codePoint = codePoint << 6 | (byte(i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < lowest || surrogate || codePoint > 0x10FFFF)
        return 0;
    return length;
}

// True for a character that would move, hide or turn text around where it is shown: control
// characters, direction marks and overrides, line and paragraph separators.
bool IsHidden(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x2028 ||
           c == 0x2029;
}

// Appends the byte as "\xHH".
void AppendByteEscape(std::string& out, char byte)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    const auto value = static_cast<std::uint8_t>(byte);
    out += "\\x";
    out += kDigits[value >> 4];
    out += kDigits[value & 0x0F];
}

// True when the text starts with something that is shown as an escape.
bool StartsEscaped(std::string_view text)
{
    char32_t c = 0;
    const std::size_t length = SequenceAt(text, c);
    return length == 0 || IsHidden(c);
}

} // namespace

std::string VisibleName(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    while (!name.empty()) {
        char32_t c = 0;
        const std::size_t length = SequenceAt(name, c);
        if (length == 0) {
            AppendByteEscape(out, name[0]);
            name.remove_prefix(1);
            continue;
        }
        const std::string_view sequence = name.substr(0, length);
        name.remove_prefix(length);
        if (c == '\\') {
            const bool readsAsEscape = !kBackslashIsSeparator && !name.empty() &&
                                       (name.find_first_of("\\nrtx") == 0 || StartsEscaped(name));
            out += readsAsEscape ? "\\\\" : "\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (IsHidden(c)) {
            for (const char byte : sequence)
                AppendByteEscape(out, byte);
        } else {
            out += sequence;
        }
    }
    return out;
}

} // namespace bVarious
