#include "reportlines.h"

#include "reportformat.h"
#include "visiblename.h"

namespace bFile {

namespace {

std::string FileNumber(int file)
{
    return std::string(1, static_cast<char>('0' + file));
}

} // namespace

std::string FileLine(int file, const std::string& path, std::uint64_t length, std::uint64_t offset,
                     std::uint64_t shift)
{
    std::string line = "File " + FileNumber(file) + ": " + bVarious::VisibleName(path) + " (" +
                       bVarious::DecimalNumber(length) + " bytes, Start offset 0x" +
                       bVarious::HexNumber(offset);
    if (file == 2)
        line += ", Shift 0x" + bVarious::HexNumber(shift);
    return line + ")";
}

std::string OffsetResetLine(int file)
{
    const std::string n = FileNumber(file);
    return "Offset " + n + " > size of file " + n + ". Offset " + n + " will be set to 0x0";
}

std::string TruncationLine(int longerFile, std::uint64_t lastIndex)
{
    const std::string longer = FileNumber(longerFile);
    return "Size of file " + longer + " > file " + FileNumber(3 - longerFile) + ". End of file " +
           longer + " will be truncated at 0x" + bVarious::HexNumber(lastIndex);
}

std::string EmptyRangeLine(int emptyFile, std::uint64_t offset)
{
    if (emptyFile == 0)
        return "Neither file has bytes from its start offset. Nothing will be compared";
    return "File " + FileNumber(emptyFile) + " has no bytes from offset 0x" +
           bVarious::HexNumber(offset) + ". Nothing will be compared";
}

std::string StoppedLine(std::uint64_t position1)
{
    return "Comparison stopped at 0x" + bVarious::HexNumber(position1) + ".";
}

std::string SummaryText(std::uint64_t changed, std::uint64_t locations)
{
    return "\r\n" + bVarious::DecimalNumber(changed) + " bytes changed, " +
           bVarious::DecimalNumber(locations) + " locations";
}

} // namespace bFile
