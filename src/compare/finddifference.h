#pragma once

#include <cstddef>

namespace bFile {

// The first index in [from, to) at which the two blocks hold different bytes, or to when
// they agree over the whole stretch. Both blocks must be readable up to to.
std::size_t FindDifference(const unsigned char* a, const unsigned char* b, std::size_t from,
                           std::size_t to);

// The last index in [from, to) at which the two blocks hold different bytes, or to when they
// agree over the whole stretch: FindDifference read from the end, as fast.
std::size_t FindLastDifference(const unsigned char* a, const unsigned char* b, std::size_t from,
                               std::size_t to);

} // namespace bFile
