#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace bFile {

// Fills `into` with the count bytes of one file from position on, or throws.
using ByteReader =
    std::function<void(std::uint64_t position, unsigned char* into, std::size_t count)>;

// One file as the search sees it: how to read it and where it ends.
struct SearchedFile
{
    ByteReader read;
    std::uint64_t length = 0;
};

struct ShiftSearchLimits
{
    // The largest shift tried, either way.
    std::uint64_t window = 0;
    // A shift counts when the files agree after it for at least this many bytes, or up to
    // the end of both files.
    std::uint64_t minimumStretch = 32;
    // How far each shift is compared at most (1 or more); it bounds the memory (about six
    // times this).
    std::size_t compareLimit = 64 * 1024;
    // Bytes read from a file at a time.
    std::size_t blockSize = 256 * 1024;
    // Ends each direction at the first shift that agrees over the whole compare limit: no
    // later one can be better, so the answer is the same, only `ambiguous` is not known.
    bool stopAtFullLength = false;
    // Told how many of the shifts to try (twice the window) have been tried, whenever the
    // search reads; it may throw to end the search. May be empty.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// The shift the search settled on: after it the files agree for `length` bytes (at most the
// compare limit). sign +1: file 2 holds `magnitude` extra bytes; -1: file 1 does; 0: nothing
// found.
struct ShiftMatch
{
    std::uint64_t length = 0;
    std::uint64_t magnitude = 0;
    int sign = 0;
    // Another shift gives an equal stretch as long (the data repeats); the smallest was taken.
    bool ambiguous = false;

    bool Found() const { return sign != 0; }
};

// Looks for the shift after which file 1 from start1 agrees with file 2 from start2 again:
// tries every shift up to the window either way and keeps the one whose equal stretch is
// longest (on a tie the smallest shift, an insertion into file 2 before one into file 1).
// Takes time in proportion to the window plus the compare limit, even in data that repeats
// throughout. What a reader or the progress throws passes through.
ShiftMatch SearchShift(const SearchedFile& file1, std::uint64_t start1, const SearchedFile& file2,
                       std::uint64_t start2, const ShiftSearchLimits& limits);

} // namespace bFile
