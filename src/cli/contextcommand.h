#pragma once

#include "options.h"
#include "statusline.h"

#include <cstdint>
#include <string>

// What a context query (--context, --next-difference, --previous-difference), from the checked
// offsets, prints on standard output, and the exit status: for --context the heading and the
// rows, each line ending in CR LF, 0 when the rows agree and 1 when bytes in them differ; for
// a search the position found in hex, 0, or nothing and 1. Throws CompareError when a file
// fails, std::invalid_argument when the position lies past file 1's end.
struct ContextAnswer
{
    std::string text;
    int exitStatus = 0;
};
ContextAnswer RunContextQuery(const CompareRequest& request, std::uint64_t offset1,
                              std::uint64_t offset2, StatusLine& status);
