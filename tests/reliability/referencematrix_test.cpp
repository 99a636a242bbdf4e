// The engine against the plain reference comparer over every small case that matters: sizes
// around one row of 16, offsets at and past the end, both layouts, with and without chars,
// blocks smaller than a row, and the question after 1000 changes at every block edge.

#include "differential.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using lumatra::reference::FirstDifference;
using lumatra::reference::ReferenceCompare;
using lumatra::reference::Request;
using lumatra::reference::RunEngine;
using lumatra::reference::VirtualFile;
using lumatra::test::Bytes;

// count bytes, and a second set in which about `density` of them differ.
std::pair<Bytes, Bytes> Pair(std::size_t count1, std::size_t count2, double density,
                             std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::bernoulli_distribution differs(density);
    Bytes a(count1), b(count2);
    for (std::size_t i = 0; i < std::max(count1, count2); ++i) {
        const auto value = static_cast<unsigned char>(random());
        const auto other =
            differs(random) ? static_cast<unsigned char>(value ^ (1 + random() % 255)) : value;
        if (i < count1)
            a[i] = value;
        if (i < count2)
            b[i] = other;
    }
    return {a, b};
}

class ReferenceMatrixTest : public ::testing::Test
{
  protected:
    Request Base(VirtualFile a, VirtualFile b)
    {
        Request request;
        request.path1 = m_dir.Path("a.bin");
        request.path2 = m_dir.Path("b b.bin");
        request.file1 = std::move(a);
        request.file2 = std::move(b);
        return request;
    }

    // Runs engine and reference; the trace names the case when they disagree.
    void ExpectAgreement(const Request& request, std::size_t blockSize, bool onDisk)
    {
        const std::string difference =
            FirstDifference(RunEngine(request, blockSize, onDisk), ReferenceCompare(request));
        EXPECT_EQ(difference, "") << "sizes " << request.file1.length << "/" << request.file2.length
                                  << ", offsets " << request.offset1 << "/" << request.offset2
                                  << ", byLines " << request.byLines << ", withChars "
                                  << request.withChars << ", continue " << request.continueAfter1000
                                  << ", block " << blockSize << ", map " << request.mapRegions
                                  << ", realign " << request.realign << " window "
                                  << request.shiftWindow << ", stop " << request.stopAtProgress;
        // Files described rather than held would be held here.
        if (request.file1.length < (1 << 20) && request.file2.length < (1 << 20)) {
            EXPECT_EQ(lumatra::reference::RunsDifference(request, blockSize), "");
        }
    }

    lumatra::test::TempDir m_dir;
};

TEST_F(ReferenceMatrixTest, SmallFilesAtEveryInterestingOffset)
{
    const std::size_t sizes[] = {0, 1, 15, 16, 17, 33};
    std::uint32_t seed = 1;
    for (const std::size_t size1 : sizes) {
        for (const std::size_t size2 : sizes) {
            Request request = Base({}, {});
            std::tie(request.file1, request.file2) = Pair(size1, size2, 0.6, seed++);
            const auto offsets = [](std::uint64_t size) {
                return std::vector<std::uint64_t>{0, 3, size, size + 1, 0xFFFFFFFF};
            };
            for (const std::uint64_t offset1 : offsets(size1)) {
                for (const std::uint64_t offset2 : offsets(size2)) {
                    request.offset1 = offset1;
                    request.offset2 = offset2;
                    for (const int layout : {0, 1, 2, 3}) {
                        request.byLines = (layout & 1) != 0;
                        request.withChars = (layout & 2) != 0;
                        ExpectAgreement(request, 1, false);
                        ExpectAgreement(request, 4096, true);
                    }
                }
            }
        }
    }
}

TEST_F(ReferenceMatrixTest, ThousandChangesAcrossBlockEdges)
{
    // 1200 changes in one stretch, 1000 of them reached at different places of a block, then
    // equal bytes; progress marks fall inside and after the run.
    for (const std::size_t start : {0, 1, 15, 17, 990}) {
        Bytes a(3100, 0x5A);
        Bytes b = a;
        for (std::size_t i = start; i < start + 1200; ++i)
            b[i] = static_cast<unsigned char>(i);
        Request request = Base(a, b);
        for (const bool answer : {true, false}) {
            request.continueAfter1000 = answer;
            // Stopped at the first progress mark, inside the run: the note counts it.
            request.stopAtProgress = answer && start % 2 == 1 ? 1 : 0;
            // The map's regions end inside the run, and one region holds it all.
            request.mapRegions = start % 2 == 0 ? 64 : 1;
            for (const bool byLines : {false, true}) {
                request.byLines = byLines;
                request.withChars = byLines;
                for (const std::size_t blockSize : {1, 999, 1000, 1001, 1 << 16})
                    ExpectAgreement(request, blockSize, false);
            }
        }
    }
}

TEST_F(ReferenceMatrixTest, ScatteredChangesInLongRanges)
{
    for (const double density : {0.001, 0.3, 0.999}) {
        auto [a, b] = Pair(4321, 4000, density, 77);
        Request request = Base(a, b);
        for (const std::uint64_t offset1 : {0, 7, 321}) {
            request.offset1 = offset1;
            request.byLines = offset1 % 2 == 1;
            request.withChars = offset1 != 0;
            // More regions than bytes, regions of unequal sizes, and the window's count.
            request.mapRegions = offset1 == 0 ? 5000 : offset1 == 7 ? 3 : 4096;
            ExpectAgreement(request, 13, false);
            ExpectAgreement(request, 4096, true);
        }
    }
}

TEST_F(ReferenceMatrixTest, LongFilesPastFourGiB)
{
    // Files described, not held: positions and labels past 4 GiB, a range crossing it, and
    // one range of more than 2^32 positions, whose By lines labels have nine digits.
    constexpr std::uint64_t kFourGiB = std::uint64_t{1} << 32;
    const VirtualFile a(kFourGiB + 5000, 0x20, {{kFourGiB - 3, Bytes(40, 'a')}});
    const VirtualFile b(kFourGiB + 4000, 0x20,
                        {{kFourGiB - 20, Bytes(10, 'x')}, {kFourGiB + 2, Bytes(1200, 'b')}});
    Request request = Base(a, b);
    for (const auto& [offset1, offset2] :
         std::vector<std::pair<std::uint64_t, std::uint64_t>>{{kFourGiB - 100, kFourGiB - 100},
                                                              {kFourGiB - 30, 0xFFFFFFFF},
                                                              {kFourGiB + 5001, kFourGiB}}) {
        request.offset1 = offset1;
        request.offset2 = offset2;
        for (const bool byLines : {false, true}) {
            request.byLines = byLines;
            request.withChars = byLines;
            ExpectAgreement(request, 333, false);
        }
    }
    request = Base(VirtualFile(kFourGiB + 0x20, 0, {{kFourGiB + 1, Bytes(20, 1)}}),
                   VirtualFile(kFourGiB + 0x40, 0, {{kFourGiB - 8, Bytes(4, 2)}}));
    request.byLines = true;
    request.withChars = true;
    ExpectAgreement(request, 4 << 20, false);
}

// File 2 is file 1 with stretches inserted, removed and changed; file 1 is random, of one
// value, or a short pattern over and over, so that shifts are plain, ambiguous or invisible.
TEST_F(ReferenceMatrixTest, RealignedPairs)
{
    std::mt19937 random(2026);
    const auto below = [&random](std::size_t n) { return n == 0 ? 0 : random() % n; };
    for (int pair = 0; pair < 400; ++pair) {
        Bytes a(below(3000));
        const std::size_t period = pair % 3 == 0 ? 1 + below(6) : 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            a[i] = static_cast<unsigned char>(period == 0 ? random() : i % period * 37);
        Bytes b = a;
        for (std::size_t edits = below(8); edits > 0; --edits) {
            const std::size_t at = below(b.size() + 1), count = 1 + below(pair % 2 ? 40 : 300);
            switch (below(3)) {
            case 0: {
                Bytes extra(count);
                for (unsigned char& byte : extra)
                    byte = static_cast<unsigned char>(period == 0 ? random() : random() % 2);
                b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(), extra.end());
                break;
            }
            case 1:
                b.erase(b.begin() + static_cast<std::ptrdiff_t>(at),
                        b.begin() + static_cast<std::ptrdiff_t>(std::min(b.size(), at + count)));
                break;
            default:
                for (std::size_t i = at; i < std::min(b.size(), at + count); ++i)
                    b[i] = static_cast<unsigned char>(b[i] + 1 + below(3));
            }
        }
        Request request = Base(a, b);
        request.realign = true;
        request.shiftWindow = std::size_t{1} << below(12);
        request.offset1 = below(4) == 0 ? below(a.size() + 2) : 0;
        request.offset2 = below(4) == 0 ? below(b.size() + 2) : 0;
        request.byLines = below(2) == 1;
        request.withChars = below(2) == 1;
        request.continueAfter1000 = below(4) != 0;
        request.mapRegions = below(2) == 0 ? 0 : 1 + below(100);
        ExpectAgreement(request, 1 + below(pair % 2 ? 50 : 5000), pair % 10 == 0);
        if (HasFailure())
            break;
    }
}

} // namespace
