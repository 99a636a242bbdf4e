// Differential fuzzing: the engine's report must equal the reference comparer's, call by call,
// for any two files, offsets, layout, answer to the question, block size and realigning or
// not; and the runs records applied to file 1 must give file 2.

#include "comparefiles.h"
#include "differencemap.h"
#include "differential.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using lumatra::reference::Request;
using lumatra::reference::VirtualFile;
using Bytes = std::vector<unsigned char>;

// Inputs stay small enough for thousands of runs a second, yet reach past 1000 changes.
constexpr std::size_t kMaxFile = 8 * 1024;
constexpr unsigned kMaxRun = 3000;

// Reads the fuzz input front to back, so that seed inputs are easy to write by hand. Values
// take one, two, four or eight bytes (little-endian) as their range needs; an exhausted input
// reads as zeros.
class Reader
{
  public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_left(size) {}

    unsigned char Byte() { return static_cast<unsigned char>(Bits(1)); }
    // 0 to max.
    std::uint64_t Take(std::uint64_t max)
    {
        const int bytes = max < 0x100 ? 1 : max < 0x10000 ? 2 : max <= 0xFFFFFFFF ? 4 : 8;
        const std::uint64_t value = Bits(bytes);
        return max == UINT64_MAX ? value : value % (max + 1);
    }

  private:
    std::uint64_t Bits(int bytes)
    {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes && m_left > 0; ++i, --m_left)
            value |= std::uint64_t{*m_data++} << (8 * i);
        return value;
    }

    const std::uint8_t* m_data;
    std::size_t m_left;
};

// A folder of its own for the two files of one run, removed with them afterwards: the fuzzer
// may end its process without running exit handlers.
class RunFolder
{
  public:
    RunFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "comparefuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_path = pattern;
    }
    ~RunFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
        if (error) {
            std::fprintf(stderr, "cannot remove %s: %s\n", m_path.c_str(), error.message().c_str());
            std::abort();
        }
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    std::string Path(const char* name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

void AppendRun(Bytes& bytes, std::size_t count, unsigned char value, unsigned char step)
{
    for (std::size_t i = 0; i < count && bytes.size() < kMaxFile; ++i)
        bytes.push_back(static_cast<unsigned char>(value + step * i));
}

// A file of a few pieces: literal bytes (kind 0: count, bytes) or a run of one value or a
// ramp (kind 1: value, step, count).
Bytes DecodeFile(Reader& input)
{
    Bytes bytes;
    for (auto pieces = input.Take(6); pieces > 0; --pieces) {
        if (input.Take(1) == 0) {
            for (auto count = input.Take(40); count > 0; --count)
                bytes.push_back(input.Byte());
        } else {
            const unsigned char value = input.Byte();
            const auto step = static_cast<unsigned char>(input.Take(2));
            AppendRun(bytes, input.Take(kMaxRun), value, step);
        }
    }
    bytes.resize(std::min(bytes.size(), kMaxFile));
    return bytes;
}

// File 2 is mostly file 1 with edits, so that equal stretches, runs and 1000+ changes all
// come up; with kind 0 it is made on its own.
Bytes DecodeSecondFile(Reader& input, const Bytes& first)
{
    if (input.Take(7) == 0)
        return DecodeFile(input);
    Bytes bytes = first;
    for (auto edits = input.Take(5); edits > 0; --edits) {
        const auto at = static_cast<std::size_t>(input.Take(bytes.size()));
        switch (input.Take(3)) {
        case 0: { // a run of changes: mask, count
            const auto mask = static_cast<unsigned char>(1 + input.Take(254));
            const auto count = std::min<std::size_t>(input.Take(kMaxRun), bytes.size() - at);
            for (std::size_t i = at; i < at + count; ++i)
                bytes[i] ^= mask;
            break;
        }
        case 1: // one byte in, which shifts the rest
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), input.Byte());
            break;
        case 2:
            bytes.resize(at);
            break;
        default: { // a ramp at the end: value, count
            const unsigned char value = input.Byte();
            AppendRun(bytes, input.Take(kMaxRun), value, 1);
            break;
        }
        }
    }
    return bytes;
}

// For a realigning comparison: file 2 is file 1 with stretches inserted, removed or changed,
// so that shifts of every size come up, next to each other and near the ends.
Bytes DecodeRealignedFile(Reader& input, const Bytes& first)
{
    Bytes bytes = first;
    for (auto edits = input.Take(7); edits > 0; --edits) {
        const auto at = static_cast<std::size_t>(input.Take(bytes.size()));
        const auto count = static_cast<std::size_t>(input.Take(300));
        switch (input.Take(3)) {
        case 0: { // a stretch in: its first value and step
            const unsigned char value = input.Byte();
            const auto step = static_cast<unsigned char>(input.Take(255));
            Bytes extra(std::min(count, kMaxFile - std::min(kMaxFile, bytes.size())));
            for (std::size_t i = 0; i < extra.size(); ++i)
                extra[i] = static_cast<unsigned char>(value + step * i * i);
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(),
                         extra.end());
            break;
        }
        case 1: // a stretch out
            bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() +
                            static_cast<std::ptrdiff_t>(at + std::min(count, bytes.size() - at)));
            break;
        default: { // changes: mask
            const auto mask = static_cast<unsigned char>(1 + input.Take(254));
            for (std::size_t i = at; i < std::min(bytes.size(), at + count); ++i)
                bytes[i] ^= mask;
            break;
        }
        }
    }
    return bytes;
}

// Offsets where the rules change: 0, the length, one past it, far past it, a little inside.
std::uint64_t DecodeOffset(Reader& input, std::size_t length)
{
    const auto kind = input.Take(9);
    const auto near = input.Take(40);
    switch (kind) {
    case 0:
        return 0;
    case 1:
        return length;
    case 2:
        return length + 1;
    case 3:
        return length + 1 + near;
    case 4:
        return length - std::min<std::uint64_t>(length, near);
    case 5:
        return std::min<std::uint64_t>(length, near);
    case 6:
        return 0xFFFFFFFF;
    case 7:
        return input.Take(0xFFFFFFFF);
    default:
        return input.Take(UINT64_MAX);
    }
}

// Long files: up to 2^40 bytes of one fill shared by both, with a few pieces of their own
// near where positions cross 2^31, 2^32, 2^36 and such, or anywhere. The offsets reach the
// far positions; the compared range stays short, since every byte of it is read, and a range
// of 2^32 positions takes half a minute in this build.
constexpr std::uint64_t kMaxLength = std::uint64_t{1} << 40;
constexpr std::uint64_t kMaxRange = 256 * 1024;
constexpr std::uint64_t kFourGiB = std::uint64_t{1} << 32;

std::uint64_t DecodeFarPosition(Reader& input)
{
    const auto near = input.Take(0xFFFF);
    switch (input.Take(4)) {
    case 0:
        return (std::uint64_t{1} << 31) - 0x8000 + near;
    case 1:
        return kFourGiB - 0x8000 + near;
    case 2:
        return (std::uint64_t{1} << (33 + input.Take(6))) - 0x8000 + near;
    default:
        return input.Take(kMaxLength);
    }
}

VirtualFile DecodeLongFile(Reader& input, unsigned char fill)
{
    const std::uint64_t length = DecodeFarPosition(input);
    std::vector<VirtualFile::Piece> pieces;
    std::uint64_t free = 0; // the first position no piece covers yet
    for (auto count = input.Take(4); count > 0; --count) {
        const std::uint64_t position = std::max(free, DecodeFarPosition(input));
        Bytes bytes(input.Take(kMaxRun));
        const unsigned char value = input.Byte();
        const auto step = static_cast<unsigned char>(input.Take(2));
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(value + step * i);
        if (position >= length || bytes.empty())
            break;
        bytes.resize(std::min<std::uint64_t>(bytes.size(), length - position));
        free = position + bytes.size();
        pieces.push_back({position, std::move(bytes)});
    }
    return VirtualFile(length, fill, std::move(pieces));
}

// Offsets for long files: the rule-changing ones, or ones that leave `range` bytes before
// the end. Either way file 1's is moved up when the compared range would be longer.
void DecodeLongOffsets(Reader& input, Request& request, std::uint64_t range)
{
    const auto before = [range](const VirtualFile& file) {
        return file.length - std::min(file.length, range);
    };
    const bool atRange = input.Take(1) == 0;
    request.offset1 = atRange ? before(request.file1) : DecodeOffset(input, request.file1.length);
    request.offset2 = atRange ? before(request.file2) : DecodeOffset(input, request.file2.length);
    const auto left = [](std::uint64_t offset, std::uint64_t length) {
        return offset > length ? length : length - offset;
    };
    if (std::min(left(request.offset1, request.file1.length),
                 left(request.offset2, request.file2.length)) > range)
        request.offset1 = before(request.file1);
}

// How many runs compared a position past 4 GiB in either file; told at the end of the run.
std::uint64_t pastFourGiB = 0, runs = 0;

void TellReach()
{
    std::fprintf(stderr, "comparefuzz: %llu of %llu executions compared positions past 4 GiB\n",
                 static_cast<unsigned long long>(pastFourGiB),
                 static_cast<unsigned long long>(runs));
}

void CountReach(const Request& request)
{
    if (runs++ == 0)
        std::atexit(TellReach);
    const auto start = [](std::uint64_t offset, std::uint64_t length) {
        return offset > length ? 0 : offset;
    };
    const std::uint64_t start1 = start(request.offset1, request.file1.length);
    const std::uint64_t start2 = start(request.offset2, request.file2.length);
    const std::uint64_t count =
        std::min(request.file1.length - start1, request.file2.length - start2);
    if (count > 0 && std::max(start1, start2) + count > kFourGiB)
        ++pastFourGiB;
    if (runs % 10000 == 0)
        TellReach();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Flags: 1 By lines, 2 with chars, 4 answer No, 0x38 all set: read from disk, 0x38 just
    // 0x08: long described files, 0xC0 all set: one file compared with itself, 0xC0 just
    // 0x40: a realigning comparison (not of long files) of a file 2 made by edits. Then the
    // block size: below 0x8000 it is 1 more than the value modulo 400, so that rows and runs
    // cross block edges; from 0x8000 on, it is the value, large enough for long equal
    // stretches to be skipped within one block. The regions of the difference map come next,
    // 0 for none, and last the window of a realigning comparison less 1.
    Reader input(data, size);
    Request request;
    const unsigned char flags = input.Byte();
    request.byLines = (flags & 0x01) != 0;
    request.withChars = (flags & 0x02) != 0;
    request.continueAfter1000 = (flags & 0x04) == 0;
    const bool onDisk = (flags & 0x38) == 0x38;
    const bool longFiles = (flags & 0x38) == 0x08;
    const bool sameFile = (flags & 0xC0) == 0xC0;
    request.realign = (flags & 0xC0) == 0x40 && !longFiles;
    const auto blockChoice = static_cast<std::size_t>(input.Take(0xFFFF));
    std::size_t blockSize = blockChoice < 0x8000 ? 1 + blockChoice % 400 : blockChoice;
    if (longFiles) {
        const unsigned char fill = input.Byte();
        request.file1 = DecodeLongFile(input, fill);
        request.file2 = sameFile ? request.file1 : DecodeLongFile(input, fill);
        const std::uint64_t range = 1 + input.Take(kMaxRange - 1);
        // At most a few thousand blocks, however small the choice.
        blockSize = std::max<std::size_t>(blockSize, range / 4096);
        DecodeLongOffsets(input, request, range);
    } else {
        Bytes file1 = DecodeFile(input);
        const Bytes file2 = sameFile          ? file1
                            : request.realign ? DecodeRealignedFile(input, file1)
                                              : DecodeSecondFile(input, file1);
        request.offset1 = DecodeOffset(input, file1.size());
        request.offset2 = DecodeOffset(input, file2.size());
        request.file1 = std::move(file1);
        request.file2 = file2;
    }
    request.mapRegions = static_cast<std::size_t>(input.Take(bFile::DifferenceMap::kMaxRegions));
    request.shiftWindow = 1 + input.Take(1023);
    CountReach(request);
    const RunFolder folder;
    request.path1 = folder.Path("a.bin");
    request.path2 = sameFile ? request.path1 : folder.Path("b b.bin");

    const lumatra::reference::Result expected = lumatra::reference::ReferenceCompare(request);
    lumatra::reference::Result actual;
    try {
        actual = lumatra::reference::RunEngine(request, blockSize, onDisk);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "engine failed: %s\n", error.what());
        std::abort();
    }
    const std::string difference = lumatra::reference::FirstDifference(actual, expected);
    if (!difference.empty()) {
        std::fprintf(stderr,
                     "engine and reference disagree\n  sizes %llu and %llu, offsets 0x%llX and "
                     "0x%llX, byLines %d, withChars %d, continue %d, block %zu, map %zu, realign "
                     "%d window %llu, %s\n%s\n",
                     static_cast<unsigned long long>(request.file1.length),
                     static_cast<unsigned long long>(request.file2.length),
                     static_cast<unsigned long long>(request.offset1),
                     static_cast<unsigned long long>(request.offset2), request.byLines,
                     request.withChars, request.continueAfter1000, blockSize, request.mapRegions,
                     request.realign, static_cast<unsigned long long>(request.shiftWindow),
                     onDisk ? "on disk" : "in memory", difference.c_str());
        std::abort();
    }
    // Applied to file 1, the runs records give file 2: realigned or not.
    if (!longFiles) {
        const std::string runs = lumatra::reference::RunsDifference(request, blockSize);
        if (!runs.empty()) {
            std::fprintf(stderr, "runs records: %s\n", runs.c_str());
            std::abort();
        }
    }
    return 0;
}
