#include "referencecompare.h"

#include "realign.h"

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

namespace {

// The file lines and the notes of offsets past the end, which then start at 0.
void WriteFileLines(Writer& out, const Request& request, std::uint64_t& offset1,
                    std::uint64_t& offset2)
{
    const std::uint64_t len1 = request.file1.length, len2 = request.file2.length;
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
}

// One byte line of the Normal layout.
std::string NormalLine(const Request& request, std::uint64_t position1, unsigned char b1,
                       unsigned char b2)
{
    std::string line = Hex(position1, "%08" PRIX64 ":") + " " + Hex(b1, "%02" PRIX64) + " " +
                       Hex(b2, "%02" PRIX64);
    if (request.withChars)
        line += "  " + Char(b1) + " " + Char(b2);
    return line;
}

// The rows of the By lines layout: up to 16 differing bytes, labelled with the first one's
// index.
struct Rows
{
    Rows(const Request& request, Writer& out) : request(request), out(out) {}

    const Request& request;
    Writer& out;
    std::string rows[4];
    int fill = 0;

    void Add(std::uint64_t index, unsigned char b1, unsigned char b2)
    {
        if (++fill == 1) {
            rows[0] = Hex(index, "%08" PRIX64 ":");
            // The other rows start with blanks as wide as the label, which grows past 8 digits.
            rows[1] = rows[2] = rows[3] = std::string(rows[0].size(), ' ');
        }
        rows[0].append(" ").append(Hex(b1, "%02" PRIX64));
        rows[1].append("  ").append(Char(b1));
        rows[2].append(" ").append(Hex(b2, "%02" PRIX64));
        rows[3].append("  ").append(Char(b2));
        if (fill == 16)
            Write();
    }
    void Write()
    {
        if (fill > 0) {
            for (int r = 0; r < 4; ++r) {
                if (request.withChars || r % 2 == 0)
                    out.Line(rows[r]);
            }
        }
        fill = 0;
    }
};

Result ReferenceRealign(const Request& request);

} // namespace

Result ReferenceCompare(const Request& request)
{
    if (request.realign)
        return ReferenceRealign(request);
    Result result;
    Writer out{result};
    const std::uint64_t len1 = request.file1.length, len2 = request.file2.length;
    std::uint64_t offset1 = request.offset1, offset2 = request.offset2;
    WriteFileLines(out, request, offset1, offset2);
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

    Rows rows(request, out);
    bool open = false, asked = false;
    const double last = static_cast<double>(size) - 1;
    const auto percent = [last](std::uint64_t i) {
        return static_cast<std::uint64_t>(std::floor(static_cast<double>(i) / (last / 100)));
    };
    const auto progressText = [&](std::uint64_t i) {
        return "Comparing files, please wait ... " + std::to_string(percent(i)) + "%";
    };
    std::uint64_t mark = 1000;
    std::uint64_t progressCalls = 0;
    bool stopped = false;
    std::uint64_t compared = size; // the positions before it are compared

    // Position i, by the rules; false when the answer No ends the comparison.
    const auto step = [&](std::uint64_t i) {
        const unsigned char b1 = request.file1.At(offset1 + i), b2 = request.file2.At(offset2 + i);
        if (b1 != b2) {
            ++result.changed;
            result.differing.push_back(i);
            open = true;
            if (!request.byLines)
                out.Line(NormalLine(request, offset1 + i, b1, b2));
            else
                rows.Add(i, b1, b2);
        } else if (open) {
            ++result.locations;
            open = false;
            rows.Write();
        }
        if (i >= mark) {
            mark += 1000;
            AddProgress(result, progressText(i), 1);
            if (++progressCalls == request.stopAtProgress) {
                stopped = true;
                compared = i + 1;
                return false;
            }
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
        if (request.file1.fill != request.file2.fill || request.stopAtProgress > 0) {
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
        going = stretch(walked, size);
    if (open)
        ++result.locations;
    result.size = size;
    if (request.mapRegions > 0) {
        result.maps.push_back(ReferenceMap(result.differing, size, request.mapRegions, compared));
        result.maps.back().finished = true;
    }
    rows.Write();
    if (stopped) {
        // What was found before the stop, a run still open counted as a location.
        out.Line("Comparison stopped at 0x" + Hex(offset1 + compared) + ": " +
                 std::to_string(result.changed) + " bytes changed, " +
                 std::to_string(result.locations) + " locations before it.");
        result.changed = result.locations = 0; // a stopped run returns no counts
        return result;
    }
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

namespace {

// The realigning comparison, by its rules (realign.h), one position at a time on the whole
// files.
Result ReferenceRealign(const Request& request)
{
    constexpr std::size_t kTrigger = bFile::kRealignTrigger;
    constexpr std::uint64_t kAgreement = bFile::kRealignAgreement;
    constexpr std::uint64_t kLimit = bFile::kRealignCompareLimit;
    Result result;
    Writer out{result};
    std::uint64_t offset1 = request.offset1, offset2 = request.offset2;
    WriteFileLines(out, request, offset1, offset2);
    const std::uint64_t n1 = request.file1.length, n2 = request.file2.length;
    if (offset1 == n1 && offset2 == n2)
        out.Line("Neither file has bytes from its start offset. Nothing will be compared");
    const std::uint64_t window = std::max<std::uint64_t>(request.shiftWindow, 1);
    out.Line("Realigned: where bytes were inserted into or removed from one file, the "
             "comparison lines the files up again (shifts up to 0x" +
             Hex(window) + " bytes) and goes on to the end of both");
    out.Line("");
    for (const char* phase : {"Preparing ...", "Opening file 1 ...", "Opening file 2 ..."})
        result.calls.push_back(std::string("status:") + phase);
    Bytes a(n1), b(n2);
    request.file1.Read(0, a.data(), a.size());
    request.file2.Read(0, b.data(), b.size());

    Rows rows(request, out);
    bool open = false, asked = false, quit = false;
    std::uint64_t insertions = 0, inserted = 0, removals = 0, removed = 0;
    std::vector<std::uint64_t> realignedAt;
    const auto closeRun = [&] {
        if (open)
            ++result.locations;
        open = false;
        rows.Write();
    };
    const auto change = [&](std::uint64_t p1, std::uint64_t p2) {
        ++result.changed;
        result.differing.push_back(p1 - offset1);
        open = true;
        if (request.byLines)
            rows.Add(p1 - offset1, a[p1], b[p2]);
        else
            out.Line(NormalLine(request, p1, a[p1], b[p2]));
        if (result.changed == 1000 && !asked) {
            asked = true;
            result.calls.push_back("question");
            quit = !request.continueAfter1000;
        }
    };
    // The bytes only one file holds: count from `from` in that file, at file 1's position p1.
    const auto onlyIn = [&](int file, std::uint64_t p1, std::uint64_t from, std::uint64_t count,
                            std::uint64_t next1, std::uint64_t next2) {
        rows.Write();
        const std::int64_t shift = std::int64_t(next2 - offset2) - std::int64_t(next1 - offset1);
        const std::string shiftText =
            shift == 0
                ? "0x0"
                : (shift > 0 ? "+0x" : "-0x") + Hex(std::uint64_t(shift > 0 ? shift : -shift));
        out.Line(Hex(request.byLines ? p1 - offset1 : p1, "%08" PRIX64 ":") + " " +
                 std::to_string(count) + " bytes only in file " + std::to_string(file) + ", at " +
                 Hex(from, "%08" PRIX64) + "-" + Hex(from + count - 1, "%08" PRIX64) +
                 " (shift now " + shiftText + ")");
        (file == 2 ? insertions : removals) += 1;
        (file == 2 ? inserted : removed) += count;
        realignedAt.push_back(p1 - offset1);
    };
    // Every shift up to the window either way from s1 and s2: the longest agreement (up to the
    // limit) of at least kAgreement bytes or to the end of both, the smallest shift on a tie,
    // file 2's before file 1's. Positive: file 2 holds the extra bytes.
    const auto search = [&](std::uint64_t s1, std::uint64_t s2) -> std::int64_t {
        std::uint64_t bestLength = 0, bestMagnitude = 0;
        int bestSign = 0;
        for (const int sign : {+1, -1}) {
            for (std::uint64_t m = 1; m <= window; ++m) {
                const std::uint64_t i = s1 + (sign < 0 ? m : 0), j = s2 + (sign > 0 ? m : 0);
                if (i >= n1 || j >= n2)
                    break;
                std::uint64_t length = 0;
                while (length < kLimit && i + length < n1 && j + length < n2 &&
                       a[i + length] == b[j + length])
                    ++length;
                const bool counts =
                    length >= kAgreement || (length > 0 && i + length == n1 && j + length == n2);
                if (counts &&
                    (length > bestLength || (length == bestLength && m < bestMagnitude))) {
                    bestLength = length;
                    bestMagnitude = m;
                    bestSign = sign;
                }
            }
        }
        return bestSign * std::int64_t(bestMagnitude);
    };

    std::uint64_t x1 = offset1, x2 = offset2;
    std::vector<std::uint64_t> held; // file 1 positions of the stretch's differing bytes
    std::uint64_t heldStart1 = 0, heldStart2 = 0, equalAfter = 0, equalRun = 0, disarmedAt = 0;
    bool armed = true;
    const auto report = [&](std::uint64_t before1) {
        for (std::size_t k = 0; k < held.size() && held[k] < before1 && !quit; ++k) {
            if (k > 0 && held[k] != held[k - 1] + 1)
                closeRun();
            change(held[k], held[k] - heldStart1 + heldStart2);
        }
    };
    const auto resolve = [&] {
        std::uint64_t from1 = heldStart1, from2 = heldStart2;
        std::int64_t shift = search(from1, from2);
        if (shift == 0 && x1 < n1 && x2 < n2) {
            from1 = x1;
            from2 = x2;
            shift = search(from1, from2);
        }
        if (shift == 0) {
            report(n1);
            if (equalAfter > 0)
                closeRun();
            held.clear();
            armed = false;
            disarmedAt = x1;
            return;
        }
        const std::uint64_t m = std::uint64_t(shift > 0 ? shift : -shift);
        const std::uint64_t in1 = shift < 0 ? m : 0, in2 = shift > 0 ? m : 0;
        std::uint64_t edit = from1 - heldStart1;
        while (edit > 0 && a[heldStart1 + in1 + edit - 1] == b[heldStart2 + in2 + edit - 1])
            --edit;
        report(heldStart1 + edit);
        held.clear();
        closeRun();
        if (quit)
            return;
        x1 = heldStart1 + edit;
        x2 = heldStart2 + edit;
        if (shift > 0)
            onlyIn(2, x1, x2, m, x1, x2 + m);
        else
            onlyIn(1, x1, x1, m, x1 + m, x2);
        x1 += in1;
        x2 += in2;
        equalRun = 0;
    };

    while (!quit) {
        if (x1 == n1 || x2 == n2) {
            if (held.empty())
                break;
            resolve();
            continue;
        }
        if (a[x1] == b[x2]) {
            if (++equalRun >= kAgreement)
                armed = true;
            closeRun();
            if (!held.empty() && ++equalAfter >= kAgreement) {
                report(n1);
                closeRun();
                held.clear();
            }
        } else {
            equalRun = 0;
            if (!armed && x1 - disarmedAt >= window)
                armed = true;
            if (!open && armed) {
                if (held.empty()) {
                    heldStart1 = x1;
                    heldStart2 = x2;
                }
                held.push_back(x1);
                equalAfter = 0;
                if (held.size() == kTrigger) {
                    ++x1;
                    ++x2;
                    resolve();
                    continue;
                }
            } else {
                change(x1, x2);
            }
        }
        ++x1;
        ++x2;
    }
    if (!quit) {
        closeRun();
        if (x1 < n1)
            onlyIn(1, x1, x1, n1 - x1, n1, n2);
        if (x2 < n2)
            onlyIn(2, x1, x2, n2 - x2, n1, n2);
    }
    closeRun();
    result.realign = true;
    result.size = n1 - offset1;
    if (request.mapRegions > 0) {
        MapShown map = ReferenceMap(result.differing, result.size, request.mapRegions, result.size);
        map.finished = true;
        if (!realignedAt.empty() && !map.counts.empty()) {
            map.realigned.resize(map.counts.size());
            for (const std::uint64_t index : realignedAt) {
                std::size_t region = 0;
                const std::uint64_t i = std::min(index, result.size - 1);
                while (static_cast<unsigned __int128>(region + 1) * result.size /
                           map.counts.size() <=
                       i)
                    ++region;
                ++map.realigned[region];
            }
        }
        result.maps.push_back(map);
    }
    out.Line("\r\n" + std::to_string(result.changed) + " bytes changed, " +
             std::to_string(result.locations) + " locations, " + std::to_string(insertions) +
             " insertions (" + std::to_string(inserted) + " bytes), " + std::to_string(removals) +
             " removals (" + std::to_string(removed) + " bytes)");
    result.calls.push_back("status:Done!");
    result.calls.push_back("font");
    return result;
}

} // namespace

} // namespace lumatra::reference
