// lumatra-report: the difference report of two files on the command line, with cmp's exit
// statuses (0 equal, 1 different, 2 trouble).

#include "comparefiles.h"
#include "contextcommand.h"
#include "findshiftcommand.h"
#include "options.h"
#include "outputfile.h"
#include "processstart.h"
#include "reportsink.h"
#include "requestcheck.h"
#include "runsrecords.h"
#include "samefile.h"
#include "statusline.h"
#include "version.h"
#include "visiblename.h"

#include <cerrno>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <variant>
#include <vector>

namespace {

constexpr int kSame = 0;
constexpr int kDifferent = 1;
constexpr int kTrouble = 2;

// Writes a whole message to a stream; 0, or the error number when the stream takes it not.
int Print(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Prints the message on standard error; the exit status for trouble.
int Fail(std::string_view message)
{
    Print(2, std::string(message) + "\n");
    return kTrouble;
}

// Prints an answer on standard output and returns status, or tells why it could not: "No
// space left on device", as a report's failed write does.
int Answer(const std::string& text, int status)
{
    const int error = Print(1, text);
    if (error == 0)
        return status;
    return Fail("lumatra-report: cannot write to standard output: " +
                std::generic_category().message(error));
}

// Help and version go to standard output; a failure to print them is trouble too.
int Show(const std::string& text)
{
    return Answer(text, kSame);
}

// What --version prints.
std::string VersionText()
{
    return "lumatra-report (" LUMATRA_NAME ") " LUMATRA_VERSION ", " LUMATRA_RELEASE_DATE
           "\n" LUMATRA_COPYRIGHT "\n" LUMATRA_WEB "\n";
}

// A query that writes no report (--find-shift, --context, --next-difference,
// --previous-difference): runs it with a progress line on standard error, prints its answer
// and returns its exit status, or fails with its error.
template <typename Query>
int AnswerQuery(const CompareRequest& request, std::uint64_t offset1, std::uint64_t offset2,
                Query run)
{
    StatusLine status(2, true);
    try {
        const auto answer = run(request, offset1, offset2, status);
        status.Clear();
        return Answer(answer.text, answer.exitStatus);
    } catch (const std::exception& error) {
        status.Clear();
        return Fail(std::string("lumatra-report: ") + error.what());
    }
}

// Runs a parsed request: checks it as the window does, then answers --find-shift or a context
// query, or writes the report to its output. Returns the exit status: same, different or
// trouble (with its message printed).
int Run(const CompareRequest& request)
{
    // The window's checks, in its order and with its texts.
    const auto checked =
        bFile::CheckRequest(request.file1, request.file2, request.offset1, request.offset2);
    if (const auto* failed = std::get_if<bFile::FailedCheck>(&checked))
        return Fail(failed->text);
    const auto [offset1, offset2] = std::get<bFile::CheckedOffsets>(checked);
    if (request.findShift)
        return AnswerQuery(request, offset1, offset2, RunFindShift);
    if (request.context != ContextQuery::None)
        return AnswerQuery(request, offset1, offset2, RunContextQuery);
    // The report replaces its output file, which must never be one of the files compared.
    for (const std::string* input : {&request.file1, &request.file2}) {
        if (!request.output.empty() && bFile::SameFile(request.output, *input))
            return Fail("lumatra-report: the report would replace " +
                        bVarious::VisibleName(*input) +
                        ", which is being compared; choose another output file");
    }

    std::unique_ptr<OutputFile> output;
    try {
        output = request.output.empty() ? std::make_unique<OutputFile>()
                                        : std::make_unique<OutputFile>(request.output);
    } catch (const std::exception& error) {
        return Fail(std::string("lumatra-report: ") + error.what());
    }
    // Progress on a terminal that also shows the report would tear the report's lines; the
    // map comes out whole at the end.
    const bool mapOnly = request.mapParts > 0;
    StatusLine status(2, mapOnly || !output->IsTerminal());
    ReportSink reportSink(*output, status, request.stopAfter1000);
    MapSink mapSink(*output, status, request.stopAfter1000);
    RunsSink runsSink(*output, status);
    try {
        bFile::CompareOptions options;
        options.mapRegions = request.mapParts;
        options.realign = request.realign;
        if (request.shiftWindow)
            options.shiftWindow = *request.shiftWindow;
        ReportSink& sink = mapOnly        ? static_cast<ReportSink&>(mapSink)
                           : request.runs ? static_cast<ReportSink&>(runsSink)
                                          : reportSink;
        const bFile::CompareSummary summary =
            bFile::CompareFiles(request.file1, request.file2, offset1, offset2, request.byLines,
                                request.withChars, sink, options);
        status.Clear();
        if (mapOnly)
            output->Write(mapSink.Text());
        if (request.runs)
            output->Write(bFile::RunsRecords::SummaryRecord(summary));
        output->Commit();
        return summary.Same() ? kSame : kDifferent;
    } catch (const std::exception& error) {
        status.Clear();
        // The map of a run that ended early is written as the report's lines so far are:
        // up to where it stopped, with the note that says so.
        if (mapOnly) {
            try {
                output->Write(mapSink.Text());
            } catch (const std::exception&) {
            }
        }
        return Fail(std::string("lumatra-report: ") + error.what());
    }
}

} // namespace

int main(int argc, char** argv)
{
    const Command command = ParseArguments(StartProcess(argc, argv));
    if (std::holds_alternative<ShowHelp>(command))
        return Show(UsageText());
    if (std::holds_alternative<ShowVersion>(command))
        return Show(VersionText());
    if (const auto* usage = std::get_if<UsageError>(&command)) {
        // The message may quote an argument: shown like a file name, it cannot steer the terminal.
        return Fail("lumatra-report: " + bVarious::VisibleName(usage->message) +
                    "\nTry 'lumatra-report --help' for more information.");
    }
    return Run(std::get<CompareRequest>(command));
}
