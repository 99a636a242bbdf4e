#include "finddifference.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bFile {

namespace {

// The first differing index in [i, end), or end: sixteen bytes a step where the processor
// compares them at once, eight elsewhere. Differences in a busy report lie a few dozen bytes
// apart, so this loop, not memcmp, carries the report's pace.
std::size_t ScanNearby(const unsigned char* a, const unsigned char* b, std::size_t i,
                       std::size_t end)
{
#if defined(__SSE2__)
    constexpr std::size_t kVector = 16;
    for (; i + kVector <= end; i += kVector) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const auto equal = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(va, vb)));
        if (equal != 0xFFFF)
            return i + static_cast<std::size_t>(std::countr_one(equal));
    }
#endif
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    for (; i + kWord <= end; i += kWord) {
        std::uint64_t wa, wb;
        std::memcpy(&wa, a + i, kWord);
        std::memcpy(&wb, b + i, kWord);
        if (wa != wb) {
            const std::uint64_t x = wa ^ wb;
            if constexpr (std::endian::native == std::endian::little)
                return i + static_cast<std::size_t>(std::countr_zero(x)) / 8;
            else
                return i + static_cast<std::size_t>(std::countl_zero(x)) / 8;
        }
    }
    for (; i < end; ++i) {
        if (a[i] != b[i])
            return i;
    }
    return end;
}

// The last differing index in [begin, i), or i when there is none: ScanNearby from the end.
std::size_t ScanNearbyBack(const unsigned char* a, const unsigned char* b, std::size_t begin,
                           std::size_t i)
{
    const std::size_t none = i;
#if defined(__SSE2__)
    constexpr std::size_t kVector = 16;
    for (; i - begin >= kVector; i -= kVector) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i - kVector));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i - kVector));
        const auto differ =
            ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(va, vb))) & 0xFFFFu;
        if (differ != 0)
            return i - kVector + static_cast<std::size_t>(std::bit_width(differ)) - 1;
    }
#endif
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    for (; i - begin >= kWord; i -= kWord) {
        std::uint64_t wa, wb;
        std::memcpy(&wa, a + i - kWord, kWord);
        std::memcpy(&wb, b + i - kWord, kWord);
        if (wa != wb) {
            const std::uint64_t x = wa ^ wb;
            if constexpr (std::endian::native == std::endian::little)
                return i - kWord + static_cast<std::size_t>(std::bit_width(x) - 1) / 8;
            else
                return i - 1 - static_cast<std::size_t>(std::countr_zero(x)) / 8;
        }
    }
    for (; i > begin; --i) {
        if (a[i - 1] != b[i - 1])
            return i - 1;
    }
    return none;
}

} // namespace

std::size_t FindDifference(const unsigned char* a, const unsigned char* b, std::size_t from,
                           std::size_t to)
{
    constexpr std::size_t kNearby = 256;
    constexpr std::size_t kSpan = 4096;
    constexpr std::size_t kLongSpan = 64 * 1024;

    const std::size_t nearbyEnd = std::min(to, from + kNearby);
    std::size_t i = ScanNearby(a, b, from, nearbyEnd);
    if (i < nearbyEnd || i == to)
        return i;
    // A long equal stretch is skipped at memcmp's speed, in spans long enough that the calls
    // cost nothing beside the bytes; the span that differs is narrowed down in short ones.
    while (to - i >= kLongSpan && std::memcmp(a + i, b + i, kLongSpan) == 0)
        i += kLongSpan;
    while (to - i >= kSpan && std::memcmp(a + i, b + i, kSpan) == 0)
        i += kSpan;
    return ScanNearby(a, b, i, std::min(to, i + kSpan));
}

std::size_t FindLastDifference(const unsigned char* a, const unsigned char* b, std::size_t from,
                               std::size_t to)
{
    constexpr std::size_t kNearby = 256;
    constexpr std::size_t kSpan = 4096;
    constexpr std::size_t kLongSpan = 64 * 1024;

    const std::size_t nearbyBegin = to - std::min(to - from, kNearby);
    const std::size_t found = ScanNearbyBack(a, b, nearbyBegin, to);
    if (found < to || nearbyBegin == from)
        return found;
    std::size_t i = nearbyBegin;
    while (i - from >= kLongSpan &&
           std::memcmp(a + i - kLongSpan, b + i - kLongSpan, kLongSpan) == 0)
        i -= kLongSpan;
    while (i - from >= kSpan && std::memcmp(a + i - kSpan, b + i - kSpan, kSpan) == 0)
        i -= kSpan;
    const std::size_t begin = i - from >= kSpan ? i - kSpan : from;
    const std::size_t last = ScanNearbyBack(a, b, begin, i);
    return last < i ? last : to;
}

} // namespace bFile
