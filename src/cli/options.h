#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

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
