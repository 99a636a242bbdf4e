#include "maptext.h"

#include "reportformat.h"

#include <algorithm>
#include <string_view>

namespace {

// The longest bar, in characters; each character shows eighths.
constexpr std::uint64_t kBarCells = 40;
// U+2588 FULL BLOCK, then U+2589 to U+258F: seven eighths down to one eighth.
constexpr std::string_view kFullBlock = "\u2588";
constexpr std::string_view kEighths[8] = {"",       "\u258F", "\u258E", "\u258D",
                                          "\u258C", "\u258B", "\u258A", "\u2589"};

// Upper-case hex, zero-padded to width digits.
std::string PaddedHex(std::uint64_t value, std::size_t width)
{
    const std::string digits = bVarious::HexNumber(value);
    return std::string(width - std::min(width, digits.size()), '0') + digits;
}

// Any count above 0 shows at least one eighth, so that no difference goes unseen.
std::string Bar(std::uint64_t count, std::uint64_t largest)
{
    if (count == 0)
        return {};
    const auto eighths = std::max<std::uint64_t>(
        1, static_cast<std::uint64_t>(
               static_cast<double>(count) / static_cast<double>(largest) * (kBarCells * 8) + 0.5));
    std::string bar;
    for (std::uint64_t i = 0; i < eighths / 8; ++i)
        bar += kFullBlock;
    bar += kEighths[eighths % 8];
    return bar;
}

} // namespace

std::string MapText(const bFile::DifferenceMap& map)
{
    if (map.Regions() == 0)
        return {};
    const std::uint64_t largest = map.LargestCount();
    const std::size_t positionWidth =
        std::max<std::size_t>(8, bVarious::HexNumber(map.Origin() + map.Size() - 1).size());
    const std::size_t countWidth = bVarious::DecimalNumber(largest).size();
    std::string text;
    for (std::size_t r = 0; r < map.Regions(); ++r) {
        text += PaddedHex(map.Origin() + map.FirstIndex(r), positionWidth) + "-" +
                PaddedHex(map.Origin() + map.FirstIndex(r + 1) - 1, positionWidth) + " ";
        if (map.NeverCompared(r)) {
            text += "not compared\r\n";
            continue;
        }
        const std::string count = bVarious::DecimalNumber(map.Count(r));
        text += std::string(countWidth - count.size(), ' ') + count;
        if (const std::string bar = Bar(map.Count(r), largest); !bar.empty())
            text += " " + bar;
        text += "\r\n";
    }
    return text;
}
