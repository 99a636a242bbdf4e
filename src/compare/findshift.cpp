#include "findshift.h"

#include "compareerror.h"
#include "finddifference.h"
#include "inputfile.h"
#include "reportformat.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace bFile {

namespace {

// "Looking for the shift ... 40%": the text, and how far the work has come.
void ShowPercent(CompareSink& sink, const char* what, std::uint64_t done, std::uint64_t total)
{
    const std::uint64_t percent = total == 0 ? 100 : done / (total / 100 + 1);
    sink.ShowProgress(std::string(what) + " ... " + bVarious::DecimalNumber(percent) + "%");
    if (sink.StopRequested())
        throw CompareStopped();
}

// The index, counted from the offsets, of the first position where the files differ, or
// count when they agree over all count positions.
std::uint64_t FirstDifference(InputFile& file1, InputFile& file2, std::uint64_t offset1,
                              std::uint64_t offset2, std::uint64_t count, std::size_t blockSize,
                              CompareSink& sink)
{
    const auto size = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max<std::size_t>(blockSize, 1), count));
    unsigned char* const block1 = file1.AllocateBlock(size);
    unsigned char* const block2 = file2.AllocateBlock(size);
    for (std::uint64_t start = 0; start < count;) {
        ShowPercent(sink, "Looking for the first difference", start, count);
        const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(size, count - start));
        file1.ReadAt(offset1 + start, block1, part);
        file2.ReadAt(offset2 + start, block2, part);
        const std::size_t at = FindDifference(block1, block2, 0, part);
        if (at < part)
            return start + at;
        start += part;
    }
    return count;
}

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
    InputFile& patternFile;
    std::uint64_t patternStart;
    InputFile& textFile;
    std::uint64_t textStart;
    int sign; // +1: file 2 holds the extra bytes; -1: file 1 does
};

// What the search keeps: the best shift so far and whether another one was as good.
struct Best
{
    std::uint64_t length = 0;
    std::uint64_t magnitude = 0;
    int sign = 0;
    bool ambiguous = false;

    // Candidates come by side, positive first, and by growing shift within a side.
    void Offer(std::uint64_t candidateLength, std::uint64_t candidateMagnitude, int candidateSign)
    {
        if (sign != 0 && candidateLength == length) {
            ambiguous = true;
            if (candidateMagnitude >= magnitude)
                return;
        } else if (sign != 0 && candidateLength < length) {
            return;
        } else {
            ambiguous = false;
        }
        length = candidateLength;
        magnitude = candidateMagnitude;
        sign = candidateSign;
    }
};

// Tries every shift of one side up to the window. Each shift is compared onwards as far as
// the limit, but no byte of the text is compared twice: what an earlier shift matched is
// reused through the pattern's own repeats (SelfPrefixLengths), so the side takes time in
// proportion to window plus limit, even in data that repeats throughout.
void SearchSide(const Side& side, const ShiftOptions& options, std::uint64_t doneBefore,
                std::uint64_t total, CompareSink& sink, Best& best)
{
    const std::uint64_t patternLength = side.patternFile.Length();
    const std::uint64_t textLength = side.textFile.Length();
    if (side.textStart >= textLength)
        return;
    // Filled before use, so not cleared first: the search must not cost more than it reads.
    const auto m = static_cast<std::size_t>(
        std::min<std::uint64_t>(options.compareLimit, patternLength - side.patternStart));
    const auto pattern = std::make_unique_for_overwrite<unsigned char[]>(m);
    side.patternFile.ReadAt(side.patternStart, pattern.get(), m);
    const auto z = SelfPrefixLengths(pattern.get(), m);

    const std::uint64_t reach = options.window > std::numeric_limits<std::uint64_t>::max() - m
                                    ? std::numeric_limits<std::uint64_t>::max()
                                    : options.window + m;
    const std::uint64_t n = std::min(textLength - side.textStart, reach); // text bytes used
    const std::uint64_t shifts = std::min(options.window, n);

    // The text streams through buf, which holds text[bufStart, bufEnd).
    const std::size_t bufSize = m + std::max<std::size_t>(options.blockSize, 1);
    const auto buf = std::make_unique_for_overwrite<unsigned char[]>(bufSize);
    std::uint64_t bufStart = 0, bufEnd = 0;
    std::uint64_t left = 0, right = 0; // text[left, right) equals the pattern's start
    for (std::uint64_t t = 0; t < shifts; ++t) {
        const std::uint64_t needed = std::min(n, t + m);
        if (bufEnd < needed) {
            ShowPercent(sink, "Looking for the shift", doneBefore + t, total);
            // Each earlier shift needed the text up to its own start plus m, so bufEnd >= t.
            const auto kept = static_cast<std::size_t>(bufEnd - t);
            std::memmove(buf.get(), buf.get() + (t - bufStart), kept);
            bufStart = t;
            const auto more =
                static_cast<std::size_t>(std::min<std::uint64_t>(bufSize - kept, n - bufEnd));
            side.textFile.ReadAt(side.textStart + bufEnd, buf.get() + kept, more);
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
        if (length >= std::max<std::uint64_t>(options.minimumStretch, 1) ||
            (length > 0 && toBothEnds))
            best.Offer(length, t + 1, side.sign);
    }
}

} // namespace

ShiftResult FindShift(const std::string& path1, const std::string& path2, std::uint64_t offset1,
                      std::uint64_t offset2, CompareSink& sink, const ShiftOptions& options)
{
    ShiftResult result;
    result.window = options.window;
    result.minimumStretch = options.minimumStretch;

    InputFile file1(1, path1, "the search for a shift", options.openFile);
    InputFile file2(2, path2, "the search for a shift", options.openFile);
    file1.Open();
    file2.Open();
    // As in a comparison, an offset past the end starts at the file's first byte.
    if (offset1 > file1.Length())
        offset1 = 0;
    if (offset2 > file2.Length())
        offset2 = 0;
    const std::uint64_t count = std::min(file1.Length() - offset1, file2.Length() - offset2);

    sink.ShowStatus("Looking for the first difference ...");
    const std::uint64_t index =
        FirstDifference(file1, file2, offset1, offset2, count, options.blockSize, sink);
    result.difference1 = offset1 + index;
    result.difference2 = offset2 + index;
    const auto checked = [&]() -> ShiftResult {
        file1.CheckUnchanged();
        file2.CheckUnchanged();
        return result;
    };
    if (index == count) {
        result.outcome = ShiftOutcome::NoDifference;
        return checked();
    }

    sink.ShowStatus("Looking for the shift ...");
    ShiftOptions limited = options;
    limited.compareLimit = std::clamp<std::size_t>(options.compareLimit, 1, std::size_t{1} << 30);
    const std::uint64_t total =
        std::min(options.window, std::numeric_limits<std::uint64_t>::max() / 2) * 2;
    Best best;
    SearchSide({file1, result.difference1, file2, result.difference2 + 1, +1}, limited, 0, total,
               sink, best);
    SearchSide({file2, result.difference2, file1, result.difference1 + 1, -1}, limited, total / 2,
               total, sink, best);
    if (best.sign == 0) {
        result.outcome = ShiftOutcome::NotFound;
        return checked();
    }

    result.outcome = ShiftOutcome::Found;
    result.offset1 = result.difference1 + (best.sign < 0 ? best.magnitude : 0);
    result.offset2 = result.difference2 + (best.sign > 0 ? best.magnitude : 0);
    result.shift = best.sign * static_cast<std::int64_t>(best.magnitude);
    result.equalLength = best.length;
    result.lengthIsLowerBound = best.length == limited.compareLimit &&
                                result.offset1 + best.length < file1.Length() &&
                                result.offset2 + best.length < file2.Length();
    result.ambiguous = best.ambiguous;
    return checked();
}

} // namespace bFile
