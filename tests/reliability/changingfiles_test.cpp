// Files that change under the engine, or fail to be read, between the length being taken and
// the end of the run. Every case must end in a CompareError naming the file. A report that is
// not complete must not look complete: it ends with the note of where it stopped and what it
// found before, never a summary. One that read its whole range keeps its summary, followed by
// the warning that the file changed.

#include "comparefiles.h"
#include "fakesources.h"
#include "reportlines.h"
#include "testsupport.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace {

using lumatra::test::Bytes;
using lumatra::test::RecordingSink;
using lumatra::test::TempDir;
using lumatra::test::WatchedSource;

// What happens to the watched file, and where.
struct Fault
{
    const char* name;
    int file;                                           // 1 or 2
    std::function<void(const std::string&)> beforeOpen; // may be empty
    std::function<void(const std::string&, int read)> beforeRead;
    std::function<void(WatchedSource&)> onOpen;
    std::string expected; // the message, with PATH for the file's path
    // The report's last line when the run stopped early; none when it read its whole range.
    std::optional<std::string> stopNote = std::nullopt;
    // A realigning run, which reads file 1 to its end, meets the fault only at the end too.
    bool realignReadsAll = true;
};

constexpr std::size_t kBlock = 100;
constexpr std::size_t kLength = 1000; // ten reads of each file

void Throw(const char* reason)
{
    throw bFile::FileSourceError(reason);
}

std::vector<Fault> Faults()
{
    const auto atRead = [](int which, std::function<void(const std::string&)> act) {
        return [which, act](const std::string& path, int read) {
            if (read == which)
                act(path);
        };
    };
    const auto replaceByFolder = [](const std::string& path) {
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
    };
#ifndef _WIN32
    const auto replaceByFifo = [](const std::string& path) {
        std::filesystem::remove(path);
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    };
#endif
    const auto truncate = [](std::uintmax_t size) {
        return [size](const std::string& path) { std::filesystem::resize_file(path, size); };
    };
    // Written an hour ago, so that a rewrite now shows in its times whatever the clock's
    // resolution.
    const auto writtenAnHourAgo = [](const std::string& path) {
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::hours(1));
    };
    const auto rewriteInPlace = [](const std::string& path) {
        std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
            .write(std::string(kLength, 'x').data(), kLength);
    };
    return {
        {"removed before opening",
         2,
         [](const std::string& p) { std::filesystem::remove(p); },
         {},
         {},
         "Cannot open file 2 (PATH): No such file or directory",
         "Comparison stopped at 0x0: 0 bytes changed, 0 locations before it."},
        {"replaced by a folder before opening",
         1,
         replaceByFolder,
         {},
         {},
         "Cannot open file 1 (PATH): not a regular file",
         "Comparison stopped at 0x0: 0 bytes changed, 0 locations before it."},
#ifndef _WIN32
        {"replaced by a FIFO before opening",
         2,
         replaceByFifo,
         {},
         {},
         "Cannot open file 2 (PATH): not a regular file",
         "Comparison stopped at 0x0: 0 bytes changed, 0 locations before it."},
#endif
        {"emptied before the first read",
         1,
         {},
         atRead(1, truncate(0)),
         {},
         "File 1 (PATH) got shorter during the comparison",
         "Comparison stopped at 0x0: 0 bytes changed, 0 locations before it."},
        {"cut inside the last block",
         2,
         {},
         atRead(10, truncate(kLength - 1)),
         {},
         "File 2 (PATH) got shorter during the comparison",
         "Comparison stopped at 0x384: 900 bytes changed, 1 locations before it."},
        {"cut behind the compared range",
         1,
         {},
         atRead(5, truncate(kLength + 10)),
         {},
         "File 1 (PATH) changed its size during the comparison",
         std::nullopt,
         false},
        {"grown before the last read",
         2,
         {},
         atRead(10, truncate(kLength + 1)),
         {},
         "File 2 (PATH) changed its size during the comparison"},
        {"rewritten in place at the same size",
         2,
         writtenAnHourAgo,
         atRead(5, rewriteInPlace),
         {},
         "File 2 (PATH) changed during the comparison"},
        {"read error on the first read",
         1,
         {},
         atRead(1, [](const std::string&) { Throw("Input/output error"); }),
         {},
         "Cannot read file 1 (PATH): Input/output error",
         "Comparison stopped at 0x0: 0 bytes changed, 0 locations before it."},
        {"read error on the last read",
         2,
         {},
         atRead(10, [](const std::string&) { Throw("Input/output error"); }),
         {},
         "Cannot read file 2 (PATH): Input/output error",
         "Comparison stopped at 0x384: 900 bytes changed, 1 locations before it."},
        {"seek refused",
         2,
         {},
         {},
         [](WatchedSource& s) { s.FailSeeks(); },
         "Cannot open file 2 (PATH): Invalid argument",
         "Comparison stopped at 0x0: 0 bytes changed, 0 locations before it."},
        {"length unreadable at the end",
         1,
         {},
         {},
         [](WatchedSource& s) { s.FailStateAfterFirstRead(); },
         "Cannot get the size of file 1 (PATH): Stale file handle"},
    };
}

class ChangingFileTest : public ::testing::TestWithParam<Fault>
{
};

// Runs the comparison, realigning or not, on the pair with the fault put in its way; the
// message of its CompareError, or "no error".
std::string RunWithFault(const Fault& fault, bool realign, const TempDir& dir, RecordingSink& sink,
                         std::string& watched)
{
    // File 1 is longer, so that a file cut behind the compared range still fills every read.
    // File 2 holds an insertion, so that a realigning run searches.
    Bytes b(kLength, 'b');
    for (std::size_t i = 400; i < 440; ++i)
        b[i] = static_cast<unsigned char>(i);
    const std::string paths[2] = {dir.Write("a.bin", Bytes(kLength + 20, 'a')),
                                  dir.Write("b.bin", b)};
    watched = paths[fault.file - 1];
    bFile::CompareOptions options;
    options.blockSize = kBlock;
    options.realign = realign;
    options.openFile = [&](const std::string& path) -> std::unique_ptr<bFile::FileSource> {
        if (path != watched)
            return bFile::OpenFileSource(path);
        if (fault.beforeOpen)
            fault.beforeOpen(path);
        auto source = std::make_unique<WatchedSource>(bFile::OpenFileSource(path), [&](int read) {
            if (fault.beforeRead)
                fault.beforeRead(path, read);
        });
        if (fault.onOpen)
            fault.onOpen(*source);
        return source;
    };
    try {
        bFile::CompareFiles(paths[0], paths[1], 0, 0, false, false, sink, options);
    } catch (const bFile::CompareError& error) {
        return error.what();
    }
    return "no error";
}

TEST_P(ChangingFileTest, EndsInANamedErrorAndTellsHowFarItGot)
{
    const Fault& fault = GetParam();
    for (const bool realign : {false, true}) {
        const TempDir dir;
        RecordingSink sink;
        std::string watched;
        const std::string message = RunWithFault(fault, realign, dir, sink, watched);
        // A realigning run reads both files to their ends and reads more often: the same
        // fault may be met at another read, and then told as the file getting shorter
        // rather than changing its size. It names the file all the same; it keeps its
        // summary, then the warning, exactly when it read everything before the fault showed.
        if (realign) {
            EXPECT_NE(message.find(watched), std::string::npos) << message;
            const std::vector<std::string> lines = sink.Calls("line");
            ASSERT_FALSE(lines.empty());
            const bool readAll = lines.back() == bFile::ChangedWarningLine(message);
            EXPECT_TRUE(readAll || lines.back().starts_with("Comparison stopped at ")) << message;
            EXPECT_EQ(readAll, !fault.stopNote && fault.realignReadsAll) << message;
            const auto summaries =
                std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                    return line.starts_with("\r\n1000 bytes changed, 1 locations, 0 insertions");
                });
            EXPECT_EQ(summaries, readAll ? 1 : 0) << sink.report;
        } else {
            std::string expected = fault.expected;
            expected.replace(expected.find("PATH"), 4, watched);
            EXPECT_EQ(message, expected);
            const std::vector<std::string> lines = sink.Calls("line");
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back(), fault.stopNote.value_or(bFile::ChangedWarningLine(expected)));
            const bool summary =
                std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
                    return line == "\r\n1000 bytes changed, 1 locations";
                });
            EXPECT_EQ(summary, !fault.stopNote) << sink.report;
        }
        EXPECT_TRUE(sink.Calls("status").empty() || sink.Calls("status").back() != "Done!");
        EXPECT_EQ(std::count(sink.calls.begin(), sink.calls.end(), "font"), 0);
    }
}

TEST(ReplacedFileTest, IsReadToItsEndAsTheFileThatWasOpened)
{
    // A rename puts another file in the path's place; the one opened stays whole and
    // unchanged, so its report is true. Windows renames nothing over an open file, but lets
    // it be deleted.
    TempDir dir;
    const std::string a = dir.Write("a.bin", Bytes(kLength, 'a'));
    const std::string b = dir.Write("b.bin", Bytes(kLength, 'a'));
    const std::string other = dir.Write("other.bin", Bytes(kLength, 'x'));
    bFile::CompareOptions options;
    options.blockSize = kBlock;
    options.openFile = [&](const std::string& path) -> std::unique_ptr<bFile::FileSource> {
        auto real = bFile::OpenFileSource(path);
        if (path != b)
            return real;
        return std::make_unique<WatchedSource>(std::move(real), [&](int read) {
            if (read != 5)
                return;
#ifdef _WIN32
            std::filesystem::remove(b);
#else
            std::filesystem::rename(other, b);
#endif
        });
    };
    RecordingSink sink;
    const auto summary = bFile::CompareFiles(a, b, 0, 0, false, false, sink, options);
    EXPECT_EQ(summary.changed, 0u);
    EXPECT_EQ(sink.Calls("status").back(), "Done!");
}

INSTANTIATE_TEST_SUITE_P(Faults, ChangingFileTest, ::testing::ValuesIn(Faults()),
                         lumatra::test::CaseName());

} // namespace
