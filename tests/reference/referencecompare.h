#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A second, deliberately plain comparer: one position at a time, written from the report rules
// alone. It is slow and simple on purpose, so that the real engine can be checked against it.
namespace lumatra::reference {

using Bytes = std::vector<unsigned char>;

// A file described rather than held, so that files of up to 2^40 bytes cost nothing: `length`
// bytes of `fill`, with pieces of given bytes laid over them. A file given by its bytes is
// one piece at 0.
struct VirtualFile
{
    struct Piece
    {
        std::uint64_t position = 0;
        Bytes bytes;
    };

    VirtualFile() = default;
    VirtualFile(Bytes bytes); // NOLINT: a file given by its bytes
    VirtualFile(std::uint64_t length, unsigned char fill, std::vector<Piece> pieces);

    std::uint64_t length = 0;
    unsigned char fill = 0;
    std::vector<Piece> pieces; // in ascending order, not overlapping, inside the length

    unsigned char At(std::uint64_t position) const;
    // Fills `into` with the count bytes from position.
    void Read(std::uint64_t position, unsigned char* into, std::size_t count) const;
};

struct Request
{
    std::string path1, path2; // as they appear in the header lines
    VirtualFile file1, file2;
    std::uint64_t offset1 = 0, offset2 = 0;
    bool byLines = false;
    bool withChars = false;
    bool continueAfter1000 = true; // the answer to the question after 1000 changes
    std::size_t mapRegions = 0;    // regions of the difference map; 0 keeps none
    bool realign = false;          // follow inserted and removed bytes, up to shiftWindow
    std::uint64_t shiftWindow = 1 << 20;
    // The progress call after which the sink asks the run to stop; 0 for none. The engine
    // passes equal stretches a block at a time and stops at the end of one, so the reference
    // stops where it does only at a mark inside a run of differences.
    std::uint64_t stopAtProgress = 0;
};

// A difference map as the sink saw it: how far the comparison had got, the count of each
// region, and whether the run had ended.
struct MapShown
{
    std::uint64_t compared = 0;
    std::vector<std::uint64_t> counts;
    std::vector<std::uint64_t> realigned; // per region, empty when the files were never realigned
    bool finished = false;
    bool operator==(const MapShown&) const = default;
};

struct Result
{
    std::string report; // every line ending in CR LF, as the pane holds it
    // Every sink call in order: "line:TEXT", "status:TEXT", "question", "font", and
    // "progress:TEXT *N" for N progress calls in a row with the same text.
    std::vector<std::string> calls;
    std::uint64_t changed = 0, locations = 0;
    // The engine's: every map shown, in order. The reference's: the final map only, with the
    // range's size and every differing index, from which any earlier map follows.
    std::vector<MapShown> maps;
    std::uint64_t size = 0;
    std::vector<std::uint64_t> differing;
    // A realigning comparison: progress is not compared (the engine holds lines back while a
    // stretch may still turn out to be a shift), nor how far its last map says it compared.
    bool realign = false;
};

// Adds `times` progress calls showing text.
void AddProgress(Result& result, const std::string& text, std::uint64_t times);

Result ReferenceCompare(const Request& request);

// The map of a range of size bytes in the given number of regions, region r holding the
// indexes from r * size / regions (rounded down), after the indexes before compared.
MapShown ReferenceMap(const std::vector<std::uint64_t>& differing, std::uint64_t size,
                      std::size_t regions, std::uint64_t compared);

} // namespace lumatra::reference
