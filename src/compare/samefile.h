#pragma once

#include <string>

namespace bFile {

// True when both paths name one existing file, through links or not: the same device and
// file number, or on Windows the same volume serial number and file index. False when either
// cannot be looked at.
bool SameFile(const std::string& a, const std::string& b);

} // namespace bFile
