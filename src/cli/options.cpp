#include "options.h"

#include "differencemap.h"
#include "findshiftcommand.h"
#include "hexoffset.h"

#include <optional>
#include <string_view>

namespace {

// Which field of the request an option's value goes into, read there once.
enum class ValueKind {
    Offset1,
    Offset2,
    Output,
    ShiftWindow,
    Map,
    Context,
    NextDifference,
    PreviousDifference,
    Rows
};

// Options that take a value, as "--name VALUE" or "--name=VALUE" ("-o FILE" for -o).
struct ValueOption
{
    std::string_view name;
    ValueKind kind;
};

constexpr ValueOption kValueOptions[] = {
    {"--offset1", ValueKind::Offset1},
    {"--offset2", ValueKind::Offset2},
    {"-o", ValueKind::Output},
    {"--output", ValueKind::Output},
    {"--shift-window", ValueKind::ShiftWindow},
    {"--map", ValueKind::Map},
    {"--context", ValueKind::Context},
    {"--next-difference", ValueKind::NextDifference},
    {"--previous-difference", ValueKind::PreviousDifference},
    {"--rows", ValueKind::Rows},
};

// A whole decimal number of rows from 1 to kMaxContextRows; nothing otherwise.
std::optional<std::size_t> ContextRows(const std::string& text)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    const std::size_t rows = std::stoul(text);
    if (rows < 1 || rows > kMaxContextRows)
        return std::nullopt;
    return rows;
}

// Reads the position of --context, --next-difference or --previous-difference into the
// request; the usage error when it is no hex position or another of them was given.
std::optional<UsageError> ReadContextQuery(ValueKind kind, const std::string& value,
                                           CompareRequest& request)
{
    const ContextQuery query = kind == ValueKind::Context ? ContextQuery::Rows
                               : kind == ValueKind::NextDifference
                                   ? ContextQuery::NextDifference
                                   : ContextQuery::PreviousDifference;
    if (request.context != ContextQuery::None && request.context != query)
        return UsageError{"'--context', '--next-difference' and '--previous-difference' go one "
                          "at a time"};
    const std::optional<std::uint64_t> position = bVarious::PositionFromHex(value);
    if (!position)
        return UsageError{"position '" + value + "' is not a hexadecimal number"};
    request.context = query;
    request.contextPosition = *position;
    return std::nullopt;
}

// The most digits a count of map parts takes, leading zeros included: as many as the largest
// count has, as an offset takes at most as many as its field holds.
constexpr std::size_t kMapDigits = 4;
static_assert(bFile::DifferenceMap::kMaxRegions < 10000);

// A whole decimal number of map parts from 1 to the most the map keeps, in at most kMapDigits
// digits; nothing otherwise.
std::optional<std::size_t> MapParts(const std::string& text)
{
    constexpr std::size_t kMost = bFile::DifferenceMap::kMaxRegions;
    if (text.empty() || text.size() > kMapDigits ||
        text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    const std::size_t parts = std::stoul(text);
    if (parts < 1 || parts > kMost)
        return std::nullopt;
    return parts;
}

} // namespace

Command ParseArguments(const std::vector<std::string>& arguments)
{
    CompareRequest request;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
            files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h" || argument == "--help")
            return ShowHelp{};
        if (argument == "--version")
            return ShowVersion{};
        if (argument == "--by-lines") {
            request.byLines = true;
            continue;
        }
        if (argument == "--with-chars") {
            request.withChars = true;
            continue;
        }
        if (argument == "--find-shift") {
            request.findShift = true;
            continue;
        }
        if (argument == "--stop-after-1000") {
            request.stopAfter1000 = true;
            continue;
        }
        if (argument == "--realign") {
            request.realign = true;
            continue;
        }
        if (argument == "--runs") {
            request.runs = true;
            continue;
        }

        const ValueOption* option = nullptr;
        std::optional<std::string> value;
        for (const ValueOption& candidate : kValueOptions) {
            const std::string_view name = candidate.name;
            if (argument == name) {
                option = &candidate;
                if (i + 1 < arguments.size())
                    value = arguments[++i];
                break;
            }
            if (name.starts_with("--") && argument.starts_with(name) &&
                argument[name.size()] == '=') {
                option = &candidate;
                value = argument.substr(name.size() + 1);
                break;
            }
        }
        if (option == nullptr)
            return UsageError{"unknown option '" + argument + "'"};
        if (!value)
            return UsageError{"option '" + argument + "' needs a value"};
        switch (option->kind) {
        case ValueKind::Offset1:
            request.offset1 = *value;
            break;
        case ValueKind::Offset2:
            request.offset2 = *value;
            break;
        case ValueKind::Output:
            // An empty -o would silently mean standard output.
            if (value->empty())
                return UsageError{"option '" + argument + "' needs a file name"};
            request.output = *value;
            break;
        case ValueKind::ShiftWindow: {
            const auto window = ShiftWindowFromText(*value);
            if (const auto* problem = std::get_if<std::string>(&window))
                return UsageError{"shift window '" + *value + "' " + *problem};
            request.shiftWindow = std::get<std::uint64_t>(window);
            break;
        }
        case ValueKind::Context:
        case ValueKind::NextDifference:
        case ValueKind::PreviousDifference:
            if (std::optional<UsageError> error = ReadContextQuery(option->kind, *value, request))
                return *error;
            break;
        case ValueKind::Rows:
            request.contextRows = ContextRows(*value);
            if (!request.contextRows)
                return UsageError{"the context needs a number of rows from 1 to " +
                                  std::to_string(kMaxContextRows) + ", not '" + *value + "'"};
            break;
        case ValueKind::Map: {
            const std::optional<std::size_t> parts = MapParts(*value);
            if (!parts)
                return UsageError{"the map needs a number of parts from 1 to " +
                                  std::to_string(bFile::DifferenceMap::kMaxRegions) +
                                  " in at most " + std::to_string(kMapDigits) + " digits, not '" +
                                  *value + "'"};
            request.mapParts = *parts;
            break;
        }
        }
    }

    // The window's offset fields take at most eight characters; more is refused here,
    // before any check, as the window would never let it be typed.
    for (const std::string* offset : {&request.offset1, &request.offset2}) {
        if (offset->size() > bVarious::kMaxOffsetDigits)
            return UsageError{"offset '" + *offset + "' is longer than " +
                              std::to_string(bVarious::kMaxOffsetDigits) + " characters"};
    }
    if (request.shiftWindow && !request.findShift && !request.realign)
        return UsageError{"option '--shift-window' goes only with '--find-shift' or '--realign'"};
    if (request.findShift &&
        (request.byLines || request.withChars || request.stopAfter1000 || !request.output.empty() ||
         request.mapParts > 0 || request.realign || request.runs))
        return UsageError{"'--find-shift' writes no report: it takes no report options"};
    if (request.contextRows && request.context != ContextQuery::Rows)
        return UsageError{"option '--rows' goes only with '--context'"};
    if (request.context != ContextQuery::None && request.realign)
        return UsageError{"'--context', '--next-difference' and '--previous-difference' line the "
                          "files up by the offsets alone: they take no '--realign'"};
    if (request.context != ContextQuery::None &&
        (request.findShift || request.byLines || request.withChars || request.stopAfter1000 ||
         !request.output.empty() || request.mapParts > 0 || request.realign || request.runs))
        return UsageError{"'--context', '--next-difference' and '--previous-difference' write no "
                          "report: they take no report options"};
    if (request.runs && request.mapParts > 0)
        return UsageError{"'--runs' and '--map' ask for different outputs: choose one"};
    // The records cover both ranges whole and carry no layout.
    if (request.runs && (request.byLines || request.withChars || request.stopAfter1000))
        return UsageError{"'--runs' writes records, not a report: it takes no '--by-lines', "
                          "'--with-chars' or '--stop-after-1000'"};
    if (files.size() != 2)
        return UsageError{files.size() < 2 ? "two files are needed" : "too many files"};
    request.file1 = files[0];
    request.file2 = files[1];
    return request;
}

std::string UsageText()
{
    return "Usage: lumatra-report [OPTION]... FILE1 FILE2\n"
           "Compare FILE1 and FILE2 byte by byte from two hexadecimal start offsets and\n"
           "write the difference report (UTF-8, every line ending in CR LF).\n"
           "\n"
           "  --offset1 HEX       start offset in FILE1: hex digits of either case, at most\n"
           "                      8, empty for 0 (default 0)\n"
           "  --offset2 HEX       start offset in FILE2 (default 0)\n"
           "  --by-lines          rows of up to 16 differing bytes, one hex row per file,\n"
           "                      instead of one line per differing byte\n"
           "  --with-chars        add each differing byte's character\n"
           "  --stop-after-1000   stop after 1000 changed bytes (default: carry on)\n"
           "  --find-shift        write no report: print the start offsets after which the\n"
           "                      files agree again when bytes were inserted into or\n"
           "                      removed from one of them, as options, and what was found\n"
           "  --realign           follow the files through bytes inserted into or removed\n"
           "                      from either one: after 32 differing bytes, look for the\n"
           "                      shift that lines them up again, report the bytes only\n"
           "                      one file holds as one line and compare on from there;\n"
           "                      both ranges are compared to their files' ends\n"
           "  --shift-window BYTES\n"
           "                      the largest shift --find-shift or --realign tries either\n"
           "                      way: bytes, or a number with K, M or G (default 1M, at\n"
           "                      most 4294967296G)\n"
           "  --runs              instead of the report, one JSON record a line for each\n"
           "                      stretch: {\"op\":\"equal\"|\"replace\"|\"insert\"|\"delete\",\n"
           "                      \"a\":[from,to],\"b\":[from,to]} with half-open decimal\n"
           "                      ranges of FILE1 and FILE2 and, for replace and insert,\n"
           "                      \"data\": the hex of FILE2's bytes; applied in order to\n"
           "                      FILE1's range they give FILE2's; a summary record last\n"
           "  -o, --output FILE   write the report to FILE (default: standard output); a\n"
           "                      regular file, or the one a link leads to, is replaced only\n"
           "                      when the report is complete and keeps its permissions, or\n"
           "                      is written in place where a new file could not keep its\n"
           "                      other links, owner or attributes; a device, a FIFO or one\n"
           "                      of the program's own descriptors (/dev/stdout) is written\n"
           "                      directly\n"
           "  --map N             instead of the report, the compared range in N equal parts\n"
           "                      (1 to 4096, at most 4 digits with leading zeros): each\n"
           "                      part's first and last position (as the report labels\n"
           "                      them), its count of differing bytes and a bar scaled to\n"
           "                      the largest count; the report's notes above the map, its\n"
           "                      summary or note of where it stopped below\n"
           "  --context HEXPOS    instead of the report, the rows of both files around\n"
           "                      position HEXPOS of FILE1 (hexadecimal), 16 bytes a row,\n"
           "                      FILE2 lined up as the offsets line it up; '*' marks the\n"
           "                      bytes that differ\n"
           "  --rows N            how many rows --context shows (1 to 4096, default 8)\n"
           "  --next-difference HEXPOS\n"
           "                      print the FILE1 position of the first byte at or after\n"
           "                      HEXPOS where the files differ, as the offsets line them up\n"
           "  --previous-difference HEXPOS\n"
           "                      the same for the last byte at or before HEXPOS\n"
           "  -h, --help          show this help and exit\n"
           "      --version       show the version and exit\n"
           "  --                  end of options: what follows are files\n"
           "\n"
           "An offset past the end of its file is set to 0; the longer range is cut to the\n"
           "length of the shorter one, unless --realign is given. When standard error is a\n"
           "terminal, progress is shown there. Control characters and bytes that are not\n"
           "UTF-8 in file names are shown as escapes such as \\n and \\xFF.\n"
           "\n"
           "Exit status: 0 if no byte differs (and, with --realign, none is only in one\n"
           "file), 1 if bytes differ, 2 if trouble. With --find-shift: 0 if a shift was\n"
           "found, 1 if none was, 2 if trouble. With --context: 0 if the rows shown agree,\n"
           "1 if bytes in them differ, 2 if trouble. With --next-difference or\n"
           "--previous-difference: 0 if a difference was found, 1 if none was, 2 if\n"
           "trouble.\n";
}
