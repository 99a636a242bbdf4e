#include "contextfiles.h"

#include <utility>
#include <vector>

namespace bFile {

namespace {

const char* const kTask = "the reading of the rows shown";

} // namespace

ContextFiles::ContextFiles(const std::string& path1, const std::string& path2,
                           std::uint64_t offset1, std::uint64_t offset2,
                           std::shared_ptr<const Alignment> alignment, const FileOpener& open)
    : m_files{InputFile(1, path1, kTask, open), InputFile(2, path2, kTask, open)}
{
    for (InputFile& file : m_files)
        file.Open();
    m_layout = ContextLayout(m_files[0].Length(), m_files[1].Length(), offset1, offset2,
                             std::move(alignment));
}

std::vector<ContextRow> ContextFiles::ReadRows(std::uint64_t firstRow, std::uint64_t count)
{
    std::vector<unsigned char> bytes[2];
    for (InputFile& file : m_files) {
        const FileStretch shown = m_layout.Shown(file.Number(), firstRow, count);
        std::vector<unsigned char>& into = bytes[file.Number() - 1];
        into.resize(static_cast<std::size_t>(shown.count));
        file.ReadAt(shown.position, into.data(), into.size());
    }
    for (const InputFile& file : m_files)
        file.CheckUnchanged();
    return LayRows(m_layout, firstRow, count, bytes[0].data(), bytes[1].data());
}

} // namespace bFile
