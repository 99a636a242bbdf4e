#include "finddifference.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace bFile {

std::size_t FindDifference(const unsigned char* a, const unsigned char* b, std::size_t from,
                           std::size_t to)
{
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    constexpr std::size_t kNearby = 256;
    constexpr std::size_t kSpan = 4096;
    const auto firstDifferingByte = [](std::uint64_t x) -> std::size_t {
        if constexpr (std::endian::native == std::endian::little)
            return static_cast<std::size_t>(std::countr_zero(x)) / 8;
        else
            return static_cast<std::size_t>(std::countl_zero(x)) / 8;
    };
    const auto scanWords = [&](std::size_t i, std::size_t end) {
        for (; i + kWord <= end; i += kWord) {
            std::uint64_t wa, wb;
            std::memcpy(&wa, a + i, kWord);
            std::memcpy(&wb, b + i, kWord);
            if (wa != wb)
                return i + firstDifferingByte(wa ^ wb);
        }
        for (; i < end; ++i) {
            if (a[i] != b[i])
                return i;
        }
        return end;
    };

    // Differences in a busy report lie close together: look word by word first, and skip
    // long equal stretches span by span at memcmp speed.
    const std::size_t nearbyEnd = std::min(to, from + kNearby);
    std::size_t i = scanWords(from, nearbyEnd);
    if (i < nearbyEnd || i == to)
        return i;
    while (to - i >= kSpan && std::memcmp(a + i, b + i, kSpan) == 0)
        i += kSpan;
    return scanWords(i, to);
}

} // namespace bFile
