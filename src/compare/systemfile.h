#pragma once

#include "filesource.h"

#include <memory>
#include <string>

namespace bFile {

// The file at path opened with the system's own calls, for reading. A folder, a FIFO or a
// device is refused at once. sizeIsReported tells whether the size the file reports is what
// reading it gives (see OpenFileSource). Failures throw FileSourceError.
std::unique_ptr<FileSource> OpenSystemFile(const std::string& path, bool& sizeIsReported);

} // namespace bFile
