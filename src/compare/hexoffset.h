#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace bVarious {

// True when every character is a hex digit of either case; true for the empty text.
// No sign, blank, prefix or suffix is accepted, and there is no length limit.
bool IsHex(std::string_view text);

// The longest offset text the window's field takes.
inline constexpr std::size_t kMaxOffsetDigits = 8;

// The value of an offset text: hex digits of either case, the empty text reads as 0.
// Eight digits reach FFFFFFFF; all of them are ordinary offsets. Empty when the text is
// not hex or longer than kMaxOffsetDigits.
std::optional<std::uint32_t> OffsetFromHex(std::string_view text);

// The value of a file position typed in hex: one to sixteen hex digits of either case (leading
// zeros beyond them are allowed); empty for anything else, the empty text included.
std::optional<std::uint64_t> PositionFromHex(std::string_view text);

} // namespace bVarious
