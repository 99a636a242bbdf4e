#pragma once

#include "contextlayout.h"
#include "contextrows.h"
#include "inputfile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bFile {

// The two files of a comparison, open for the context view: how they line up at the
// comparison's offsets, and the bytes of the rows shown, read only as they are asked for.
class ContextFiles
{
  public:
    // Opens both files and lays them out, through the alignment when there is one. Throws
    // CompareError naming the file that fails.
    ContextFiles(const std::string& path1, const std::string& path2, std::uint64_t offset1,
                 std::uint64_t offset2, std::shared_ptr<const Alignment> alignment = nullptr,
                 const FileOpener& open = OpenFileSource);

    const ContextLayout& Layout() const { return m_layout; }

    // A file's state when it was opened here, to hold against a later one (SameContents).
    const FileState& State(int file) const { return *m_files[file - 1].Opened(); }

    // The rows from firstRow on, as many of count as there are: count rows' worth of each
    // file is read, nothing more. Throws CompareError when a file fails or has changed.
    std::vector<ContextRow> ReadRows(std::uint64_t firstRow, std::uint64_t count);

  private:
    InputFile m_files[2];
    ContextLayout m_layout;
};

} // namespace bFile
