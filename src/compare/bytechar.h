#pragma once

#include <cstdint>
#include <string_view>

namespace bFile {

// The character a byte stands for, as UTF-8: U+0001 for 0x00-0x24, else the byte's character
// in the system's ANSI code page (Windows-1252 where the system has none).
std::string_view ByteChar(std::uint8_t value);

} // namespace bFile
