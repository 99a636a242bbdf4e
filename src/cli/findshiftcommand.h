#pragma once

#include "options.h"
#include "statusline.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// The largest --shift-window: far beyond any file, small enough to double without overflow.
inline constexpr std::uint64_t kMaxShiftWindow = std::uint64_t{1} << 62;

// A --shift-window value: decimal bytes, with K, M or G for KiB, MiB or GiB ("64K"), from 1
// to kMaxShiftWindow. Otherwise the reason it is refused, to follow the value in a message:
// "is not a number of bytes", "is more than the largest window, 4294967296G".
std::variant<std::uint64_t, std::string> ShiftWindowFromText(std::string_view text);

// What --find-shift, from the checked offsets, prints on standard output, and the exit status: 0
// with the offsets to use as options and the explanation when a shift was found, 1 with the reason
// when none was. Throws what the engine throws when a file fails.
struct ShiftAnswer
{
    std::string text;
    int exitStatus = 0;
};
// Runs the search, showing its progress on status.
ShiftAnswer RunFindShift(const CompareRequest& request, std::uint64_t offset1,
                         std::uint64_t offset2, StatusLine& status);
