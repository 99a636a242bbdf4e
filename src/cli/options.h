#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// What --context, --next-difference and --previous-difference ask for instead of a report.
enum class ContextQuery {
    None,
    Rows,               // the rows of the context view around a position
    NextDifference,     // the first difference at or after a position
    PreviousDifference, // the last difference at or before it
};

// The most rows --rows takes.
inline constexpr std::size_t kMaxContextRows = 4096;

// What the command line asks for.
struct CompareRequest
{
    std::string file1;
    std::string file2;
    std::string offset1; // as typed: checked later, in the window's order
    std::string offset2;
    bool byLines = false;
    bool withChars = false;
    bool stopAfter1000 = false;
    std::string output;     // empty: standard output
    bool findShift = false; // print the offsets that line the files up again, no report
    std::optional<std::uint64_t> shiftWindow; // bytes; none for the default
    std::size_t mapParts = 0; // the parts of the difference map asked for instead of the report
    ContextQuery context = ContextQuery::None;
    std::uint64_t contextPosition = 0;      // in file 1, for the context query
    std::optional<std::size_t> contextRows; // --rows, when given
    bool realign = false; // follow bytes inserted into or removed from either file
    bool runs = false;    // JSON Lines records of the stretches instead of the report
};

struct ShowHelp
{
};
struct ShowVersion
{
};
struct UsageError
{
    std::string message;
};

using Command = std::variant<CompareRequest, ShowHelp, ShowVersion, UsageError>;

// Reads the arguments after the program name. Options may come before, between or after
// the two files; "--" ends them. An offset longer than the window's field is a usage error.
Command ParseArguments(const std::vector<std::string>& arguments);

// The --help text.
std::string UsageText();
