// Not a test: cli-bench.sh runs it to measure what keeping the difference map costs. Compares
// FILE1 with FILE2 RUNS times without the map and RUNS times with the window's 4096 regions,
// alternating, into a sink that drops the report, and prints the two medians of the CPU
// seconds a run of three comparisons took (on a busy machine far steadier than the wall clock):
//     map-cost FILE1 FILE2 RUNS
#include "comparefiles.h"
#include "differencemap.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

namespace {

// Takes everything the engine writes and keeps none of it.
class DroppingSink final : public bFile::CompareSink
{
  public:
    void AppendLine(std::string_view, std::uint32_t, std::uint8_t) override {}
    void ShowStatus(std::string_view) override {}
    bool ContinueAfter1000Changes() override { return true; }
    void ReportComplete() override {}
};

double Seconds(const std::string& path1, const std::string& path2, std::size_t mapRegions)
{
    DroppingSink sink;
    bFile::CompareOptions options;
    options.mapRegions = mapRegions;
    constexpr int kComparisons = 3; // a run of one would be near the clock's own jitter
    const std::clock_t start = std::clock();
    for (int i = 0; i < kComparisons; ++i)
        bFile::CompareFiles(path1, path2, 0, 0, false, false, sink, options);
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || std::stoi(argv[3]) < 1) {
        std::fputs("usage: map-cost FILE1 FILE2 RUNS\n", stderr);
        return 2;
    }
    try {
        std::vector<double> without, with;
        Seconds(argv[1], argv[2], 0); // untimed, as the other runs of the bench
        for (int run = 0; run < std::stoi(argv[3]); ++run) {
            without.push_back(Seconds(argv[1], argv[2], 0));
            with.push_back(Seconds(argv[1], argv[2], bFile::DifferenceMap::kMaxRegions));
        }
        std::printf("%.4f %.4f\n", Median(without), Median(with));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "map-cost: %s\n", error.what());
        return 2;
    }
    return 0;
}
