#include "referencecompare.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace lumatra::reference {

namespace {

std::string Hex(std::uint64_t value, const char* format = "%" PRIX64)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Utf8(std::uint32_t code)
{
    std::string text;
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
    return text;
}

// Windows-1252; its five undefined bytes stand for the control character of the same code.
std::string Char(unsigned char byte)
{
    static const std::uint32_t k80To9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte < 0x25)
        return Utf8(1);
    if (byte >= 0x80 && byte <= 0x9F)
        return Utf8(k80To9F[byte - 0x80]);
    return Utf8(byte);
}

struct Writer
{
    Result& result;
    void Line(const std::string& text)
    {
        result.report += text + "\r\n";
        result.calls.push_back("line:" + text);
    }
};

// Index ranges, from the start offsets, where a file has a piece; elsewhere it holds its fill.
std::vector<std::pair<std::uint64_t, std::uint64_t>>
PieceRanges(const VirtualFile& file, std::uint64_t offset, std::uint64_t size)
{
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
    for (const VirtualFile::Piece& piece : file.pieces) {
        const std::uint64_t end = piece.position + piece.bytes.size();
        if (end <= offset || piece.position >= offset + size)
            continue;
        ranges.emplace_back(std::max(piece.position, offset) - offset,
                            std::min(end, offset + size) - offset);
    }
    return ranges;
}

} // namespace

VirtualFile::VirtualFile(Bytes bytes) : VirtualFile(bytes.size(), 0, {})
{
    if (!bytes.empty())
        pieces.push_back({0, std::move(bytes)});
}

VirtualFile::VirtualFile(std::uint64_t length, unsigned char fill, std::vector<Piece> pieces)
    : length(length), fill(fill), pieces(std::move(pieces))
{}

unsigned char VirtualFile::At(std::uint64_t position) const
{
    auto after =
        std::upper_bound(pieces.begin(), pieces.end(), position,
                         [](std::uint64_t p, const Piece& piece) { return p < piece.position; });
    if (after == pieces.begin())
        return fill;
    const Piece& piece = *std::prev(after);
    return position - piece.position < piece.bytes.size() ? piece.bytes[position - piece.position]
                                                          : fill;
}

void VirtualFile::Read(std::uint64_t position, unsigned char* into, std::size_t count) const
{
    if (count == 0)
        return;
    std::memset(into, fill, count);
    for (const Piece& piece : pieces) {
        const std::uint64_t end = piece.position + piece.bytes.size();
        if (end <= position || piece.position >= position + count || piece.bytes.empty())
            continue;
        const std::uint64_t from = std::max(piece.position, position);
        const std::uint64_t to = std::min<std::uint64_t>(end, position + count);
        std::memcpy(into + (from - position), piece.bytes.data() + (from - piece.position),
                    to - from);
    }
}

void AddProgress(Result& result, const std::string& text, std::uint64_t times)
{
    const std::string prefix = "progress:" + text + " *";
    std::vector<std::string>& calls = result.calls;
    if (!calls.empty() && calls.back().starts_with(prefix))
        times += std::stoull(calls.back().substr(prefix.size()));
    else
        calls.emplace_back();
    calls.back() = prefix + std::to_string(times);
}

Result ReferenceCompare(const Request& request)
{
    Result result;
    Writer out{result};
    const std::uint64_t len1 = request.file1.length, len2 = request.file2.length;
    std::uint64_t offset1 = request.offset1, offset2 = request.offset2;
    const std::uint64_t shift = offset1 > offset2 ? offset1 - offset2 : offset2 - offset1;
    out.Line("File 1: " + request.path1 + " (" + std::to_string(len1) + " bytes, Start offset 0x" +
             Hex(offset1) + ")");
    out.Line("File 2: " + request.path2 + " (" + std::to_string(len2) + " bytes, Start offset 0x" +
             Hex(offset2) + ", Shift 0x" + Hex(shift) + ")");
    if (offset1 > len1) {
        out.Line("Offset 1 > size of file 1. Offset 1 will be set to 0x0");
        offset1 = 0;
    }
    if (offset2 > len2) {
        out.Line("Offset 2 > size of file 2. Offset 2 will be set to 0x0");
        offset2 = 0;
    }
    // Range sizes rather than last indexes: a range may hold no byte at all.
    const std::uint64_t size1 = len1 - offset1, size2 = len2 - offset2;
    const std::uint64_t size = size1 < size2 ? size1 : size2;
    if (size1 == 0 && size2 == 0)
        out.Line("Neither file has bytes from its start offset. Nothing will be compared");
    else if (size1 == 0)
        out.Line("File 1 has no bytes from offset 0x" + Hex(offset1) +
                 ". Nothing will be compared");
    else if (size2 == 0)
        out.Line("File 2 has no bytes from offset 0x" + Hex(offset2) +
                 ". Nothing will be compared");
    else if (size2 < size1)
        out.Line("Size of file 1 > file 2. End of file 1 will be truncated at 0x" + Hex(size - 1));
    else if (size1 < size2)
        out.Line("Size of file 2 > file 1. End of file 2 will be truncated at 0x" + Hex(size - 1));
    out.Line("");
    for (const char* phase : {"Preparing ...", "Opening file 1 ...", "Opening file 2 ..."})
        result.calls.push_back(std::string("status:") + phase);

    std::string rows[4];
    int fill = 0;
    bool open = false, asked = false;
    const auto writeRow = [&] {
        if (fill > 0) {
            for (int r = 0; r < 4; ++r) {
                if (request.withChars || r % 2 == 0)
                    out.Line(rows[r]);
            }
        }
        fill = 0;
    };
    const double last = static_cast<double>(size) - 1;
    const auto percent = [last](std::uint64_t i) {
        return static_cast<std::uint64_t>(std::floor(static_cast<double>(i) / (last / 100)));
    };
    const auto progressText = [&](std::uint64_t i) {
        return "Comparing files, please wait ... " + std::to_string(percent(i)) + "%";
    };
    std::uint64_t mark = 1000;
    std::uint64_t compared = size; // the positions before it are compared

    // Position i, by the rules; false when the answer No ends the comparison.
    const auto step = [&](std::uint64_t i) {
        const unsigned char b1 = request.file1.At(offset1 + i), b2 = request.file2.At(offset2 + i);
        if (b1 != b2) {
            ++result.changed;
            result.differing.push_back(i);
            open = true;
            if (!request.byLines) {
                std::string line = Hex(offset1 + i, "%08" PRIX64 ":") + " " +
                                   Hex(b1, "%02" PRIX64) + " " + Hex(b2, "%02" PRIX64);
                if (request.withChars)
                    line += "  " + Char(b1) + " " + Char(b2);
                out.Line(line);
            } else {
                if (++fill == 1) {
                    rows[0] = Hex(i, "%08" PRIX64 ":");
                    // The other rows start with blanks as wide as the label, which grows past 8
                    // digits.
                    rows[1] = rows[2] = rows[3] = std::string(rows[0].size(), ' ');
                }
                rows[0] += " " + Hex(b1, "%02" PRIX64);
                rows[1] += "  " + Char(b1);
                rows[2] += " " + Hex(b2, "%02" PRIX64);
                rows[3] += "  " + Char(b2);
                if (fill == 16)
                    writeRow();
            }
        } else if (open) {
            ++result.locations;
            open = false;
            writeRow();
        }
        if (i >= mark) {
            mark += 1000;
            AddProgress(result, progressText(i), 1);
        }
        if (result.changed == 1000 && !asked) {
            asked = true;
            result.calls.push_back("question");
            if (!request.continueAfter1000) {
                compared = i + 1;
                return false;
            }
        }
        return true;
    };
    // Positions from to to - 1 lie outside every piece. With equal fills, the first may close
    // a run, and the rest only pass progress marks: those are counted, not walked.
    const auto stretch = [&](std::uint64_t from, std::uint64_t to) {
        if (request.file1.fill != request.file2.fill) {
            for (std::uint64_t i = from; i < to; ++i) {
                if (!step(i))
                    return false;
            }
            return true;
        }
        if (from == to)
            return true;
        step(from);
        while (mark < to) {
            // The marks that show the same percentage as this one, found by halving.
            const std::uint64_t shown = percent(mark);
            std::uint64_t same = 0, beyond = (to - 1 - mark) / 1000 + 1;
            while (beyond - same > 1) {
                const std::uint64_t middle = same + (beyond - same) / 2;
                (percent(mark + 1000 * middle) == shown ? same : beyond) = middle;
            }
            AddProgress(result, progressText(mark), same + 1);
            mark += 1000 * (same + 1);
        }
        return true;
    };

    auto ranges = PieceRanges(request.file1, offset1, size);
    const auto ranges2 = PieceRanges(request.file2, offset2, size);
    ranges.insert(ranges.end(), ranges2.begin(), ranges2.end());
    std::sort(ranges.begin(), ranges.end());
    std::uint64_t walked = 0; // the positions before it are done
    bool going = true;
    for (const auto& [from, to] : ranges) {
        if (from > walked)
            going = stretch(walked, from);
        for (std::uint64_t i = std::max(from, walked); going && i < to; ++i)
            going = step(i);
        walked = std::max(walked, to);
        if (!going)
            break;
    }
    if (going)
        stretch(walked, size);
    if (open)
        ++result.locations;
    result.size = size;
    if (request.mapRegions > 0) {
        result.maps.push_back(ReferenceMap(result.differing, size, request.mapRegions, compared));
        result.maps.back().finished = true;
    }
    writeRow();
    out.Line("\r\n" + std::to_string(result.changed) + " bytes changed, " +
             std::to_string(result.locations) + " locations");
    result.calls.push_back("status:Done!");
    result.calls.push_back("font");
    return result;
}

MapShown ReferenceMap(const std::vector<std::uint64_t>& differing, std::uint64_t size,
                      std::size_t regions, std::uint64_t compared)
{
    MapShown map;
    map.compared = compared;
    map.counts.resize(regions < size ? regions : size);
    std::size_t region = 0;
    for (const std::uint64_t i : differing) {
        if (i >= compared)
            break;
        // Move on while the next region starts at or before i.
        while (static_cast<unsigned __int128>(region + 1) * size / map.counts.size() <= i)
            ++region;
        ++map.counts[region];
    }
    return map;
}

} // namespace lumatra::reference
