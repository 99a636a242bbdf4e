#pragma once

#include "findshift.h"

#include <string>

// The sentences that tell the user what Find Shift found, shared by the window and the
// command line. Numbers are upper-case hex with "0x".
namespace bFile {

// "File 2 is shifted by +0x10 from 0x1234: equal for 0x5000 bytes.", where 0x1234 is the
// first differing position in file 1. "equal for at least" when the files were compared
// only that far; a note follows when other shifts fit as well.
std::string ShiftFoundText(const ShiftResult& result);

// Why nothing was found: the files do not differ, or no shift within the window makes them
// equal for the minimum stretch (which says where the search started and how far it looked).
std::string ShiftNotFoundText(const ShiftResult& result);

} // namespace bFile
