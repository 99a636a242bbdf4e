#pragma once

#include <stdexcept>

namespace bFile {

// A comparison that could not be completed: a file vanished, could not be opened or read,
// or changed its size during the run. The message names the file (as VisibleName shows it)
// and the reason.
class CompareError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

// The sink asked the run to stop.
class CompareStopped : public std::runtime_error
{
  public:
    CompareStopped() : std::runtime_error("The comparison was stopped.") {}
};

} // namespace bFile
