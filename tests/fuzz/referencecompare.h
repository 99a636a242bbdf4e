#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A second, deliberately plain comparer: both ranges whole in memory, one byte at a time,
// written from the report rules alone. It is slow and simple on purpose, so that the real
// engine can be checked against it.
namespace lumatra::reference {

struct Request
{
    std::string path1, path2; // as they appear in the header lines
    std::vector<unsigned char> file1, file2;
    std::uint64_t offset1 = 0, offset2 = 0;
    bool byLines = false;
    bool withChars = false;
    bool continueAfter1000 = true; // the answer to the question after 1000 changes
};

struct Result
{
    std::string report; // every line ending in CR LF, as the pane holds it
    // Every sink call in order: "line:TEXT", "status:TEXT", "progress:TEXT", "question",
    // "font".
    std::vector<std::string> calls;
    std::uint64_t changed = 0, locations = 0;
};

Result ReferenceCompare(const Request& request);

} // namespace lumatra::reference
