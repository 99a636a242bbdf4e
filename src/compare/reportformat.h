#pragma once

#include <cstdint>
#include <string>

// Texts of the difference report. The Write... helpers put their text at `out` and return
// the position after it; the caller provides room (20 characters cover any 64-bit number).
// They format report bodies without allocating.

namespace bVarious {

// Two upper-case hex digits, zero-padded: 00, 0A, FF.
std::string ByteHex(std::uint8_t value);
char* WriteByteHex(char* out, std::uint8_t value);

// At least eight upper-case hex digits, zero-padded, then a colon ("0000001A:"). A position
// that needs more digits gets them: the label never truncates.
std::string OffsetLabel(std::uint64_t position);
char* WriteOffsetLabel(char* out, std::uint64_t position);

// Upper-case hex without leading zeros, "0" for zero.
std::string HexNumber(std::uint64_t value);
char* WriteHex(char* out, std::uint64_t value);

// Decimal digits without separators or leading zeros.
std::string DecimalNumber(std::uint64_t value);
char* WriteDecimal(char* out, std::uint64_t value);

} // namespace bVarious
