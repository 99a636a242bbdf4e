#include "shiftsearch.h"

#include "finddifference.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace bFile {

namespace {

// For each i, the length of the longest stretch at the start of pattern that also starts at
// pattern[i]; the whole length at 0.
std::unique_ptr<std::uint32_t[]> SelfPrefixLengths(const unsigned char* pattern, std::size_t m)
{
    auto z = std::make_unique_for_overwrite<std::uint32_t[]>(m);
    if (m == 0)
        return z;
    z[0] = static_cast<std::uint32_t>(m);
    std::size_t left = 0, right = 0; // pattern[left, right) equals its start
    for (std::size_t i = 1; i < m; ++i) {
        std::size_t k = i < right ? std::min<std::size_t>(right - i, z[i - left]) : 0;
        while (i + k < m && pattern[k] == pattern[i + k])
            ++k;
        z[i] = static_cast<std::uint32_t>(k);
        if (i + k > right) {
            left = i;
            right = i + k;
        }
    }
    return z;
}

// One direction of the search: the bytes after the difference in one file (the pattern)
// against the other file's bytes after its difference (the text). Shift t + 1 of this side
// lines pattern[0] up with text[t].
struct Side
{
    const SearchedFile& patternFile;
    std::uint64_t patternStart;
    const SearchedFile& textFile;
    std::uint64_t textStart;
    int sign; // +1: file 2 holds the extra bytes; -1: file 1 does
};

// Keeps the best shift so far; candidates come by side, positive first, and by growing shift
// within a side.
void Offer(ShiftMatch& best, std::uint64_t length, std::uint64_t magnitude, int sign)
{
    if (best.sign != 0 && length == best.length) {
        best.ambiguous = true;
        if (magnitude >= best.magnitude)
            return;
    } else if (best.sign != 0 && length < best.length) {
        return;
    } else {
        best.ambiguous = false;
    }
    best.length = length;
    best.magnitude = magnitude;
    best.sign = sign;
}

// Tries every shift of one side up to the window. Each shift is compared onwards as far as
// the limit, but no byte of the text is compared twice: what an earlier shift matched is
// reused through the pattern's own repeats (SelfPrefixLengths), so the side takes time in
// proportion to window plus limit, even in data that repeats throughout.
void SearchSide(const Side& side, const ShiftSearchLimits& limits, std::uint64_t window,
                std::uint64_t doneBefore, std::uint64_t total, ShiftMatch& best)
{
    const std::uint64_t patternLength = side.patternFile.length;
    const std::uint64_t textLength = side.textFile.length;
    if (side.textStart >= textLength || side.patternStart >= patternLength)
        return;
    // Filled before use, so not cleared first: the search must not cost more than it reads.
    const auto m = static_cast<std::size_t>(
        std::min<std::uint64_t>(limits.compareLimit, patternLength - side.patternStart));
    const auto pattern = std::make_unique_for_overwrite<unsigned char[]>(m);
    side.patternFile.read(side.patternStart, pattern.get(), m);
    const auto z = SelfPrefixLengths(pattern.get(), m);

    const std::uint64_t reach = window > std::numeric_limits<std::uint64_t>::max() - m
                                    ? std::numeric_limits<std::uint64_t>::max()
                                    : window + m;
    const std::uint64_t n = std::min(textLength - side.textStart, reach); // text bytes used
    const std::uint64_t shifts = std::min(window, n);

    // The text streams through buf, which holds text[bufStart, bufEnd).
    const std::size_t bufSize = m + std::max<std::size_t>(limits.blockSize, 1);
    const auto buf = std::make_unique_for_overwrite<unsigned char[]>(bufSize);
    std::uint64_t bufStart = 0, bufEnd = 0;
    std::uint64_t left = 0, right = 0; // text[left, right) equals the pattern's start
    for (std::uint64_t t = 0; t < shifts; ++t) {
        const std::uint64_t needed = std::min(n, t + m);
        if (bufEnd < needed) {
            if (limits.progress)
                limits.progress(doneBefore + t, total);
            // Each earlier shift needed the text up to its own start plus m, so bufEnd >= t.
            const auto kept = static_cast<std::size_t>(bufEnd - t);
            std::memmove(buf.get(), buf.get() + (t - bufStart), kept);
            bufStart = t;
            const auto more =
                static_cast<std::size_t>(std::min<std::uint64_t>(bufSize - kept, n - bufEnd));
            side.textFile.read(side.textStart + bufEnd, buf.get() + kept, more);
            bufEnd += more;
        }

        // Inside the stretch matched at left, the pattern's own repeats tell how far this
        // shift matches. Shorter than that stretch, it can neither win nor tie.
        if (t < right && z[static_cast<std::size_t>(t - left)] < right - t)
            continue;
        // Otherwise the text matches at least up to right, and is compared on from there.
        std::uint64_t end = std::max(t, right);
        const unsigned char* here = buf.get() + (t - bufStart);
        const auto from = static_cast<std::size_t>(end - t);
        const auto to = static_cast<std::size_t>(needed - t);
        if (from < to && here[from] == pattern[from])
            end = t + FindDifference(pattern.get(), here, from, to);
        if (end > right) {
            left = t;
            right = end;
        }

        const std::uint64_t length = end - t;
        const std::uint64_t patternEnd = side.patternStart + length;
        const std::uint64_t textEnd = side.textStart + t + length;
        const bool toBothEnds = patternEnd == patternLength && textEnd == textLength;
        if (length >= std::max<std::uint64_t>(limits.minimumStretch, 1) ||
            (length > 0 && toBothEnds)) {
            Offer(best, length, t + 1, side.sign);
            // A later shift of this side can at best tie, and a tie keeps the smaller shift.
            if (limits.stopAtFullLength && length == m)
                return;
        }
    }
}

} // namespace

ShiftMatch SearchShift(const SearchedFile& file1, std::uint64_t start1, const SearchedFile& file2,
                       std::uint64_t start2, const ShiftSearchLimits& limits)
{
    ShiftSearchLimits limited = limits;
    limited.compareLimit = std::clamp<std::size_t>(limits.compareLimit, 1, std::size_t{1} << 30);
    const std::uint64_t half =
        std::min(limits.window, std::numeric_limits<std::uint64_t>::max() / 2);
    const std::uint64_t total = half * 2;
    const auto longest = [&limited](const SearchedFile& file, std::uint64_t start) {
        return start < file.length
                   ? std::min<std::uint64_t>(limited.compareLimit, file.length - start)
                   : 0;
    };
    // No stretch is longer than either side can compare.
    const std::uint64_t longestOfAll = std::max(longest(file1, start1), longest(file2, start2));
    // Looking near first: a stretch as long as any can be is found at the smallest shift
    // that gives it, and no larger shift can do better, so the wider windows are not needed.
    std::uint64_t window =
        limits.stopAtFullLength ? std::min<std::uint64_t>(limits.window, 4096) : limits.window;
    while (true) {
        ShiftMatch best;
        SearchSide({file1, start1, file2, start2 + 1, +1}, limited, window, 0, total, best);
        // A shift of file 1 ties with file 2's of the same size and loses: once file 2's side
        // found a stretch as long as file 1's side can compare, only smaller shifts are left.
        std::uint64_t otherWindow = window;
        if (limits.stopAtFullLength && best.Found() && best.length >= longest(file2, start2))
            otherWindow = std::min(otherWindow, best.magnitude - 1);
        SearchSide({file2, start2, file1, start1 + 1, -1}, limited, otherWindow, half, total, best);
        if (window == limits.window || (best.Found() && best.length >= longestOfAll))
            return best;
        window = window > limits.window / 16 ? limits.window : window * 16;
    }
}

} // namespace bFile
