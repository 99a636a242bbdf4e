#pragma once

#include "differencemap.h"

#include <string>

// The difference map as text: one line per region with its first and last position in hex,
// its count of differing bytes right-aligned, and a bar of block characters whose length is
// the count scaled to the largest one; "not compared" for a region the run never reached.
// Every line ends in CR LF.
std::string MapText(const bFile::DifferenceMap& map);
