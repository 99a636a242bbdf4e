#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace bFile {

// The start offsets of a request that passed every check.
struct CheckedOffsets
{
    std::uint32_t offset1 = 0;
    std::uint32_t offset2 = 0;
};

// The check a request failed, as the window's message box shows it: its title and its text.
struct FailedCheck
{
    std::string_view title;
    std::string_view text;
};

// Checks a comparison as typed, in this order: file 1 and file 2 exist as regular files
// (FileExists), offset 1 and offset 2 are hex (OffsetFromHex). Returns the offsets, or the
// first check that failed: "File 1 doesn't exist!" under "Error", "Offset 1 isn't HEX number !"
// under the program's name.
std::variant<CheckedOffsets, FailedCheck> CheckRequest(const std::string& path1,
                                                       const std::string& path2,
                                                       std::string_view offset1,
                                                       std::string_view offset2);

} // namespace bFile
