#include "reportlines.h"

#include "reportformat.h"
#include "visiblename.h"

namespace bFile {

namespace {

// "1" or "2".
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

std::string StoppedLine(std::uint64_t position1, std::uint64_t changed, std::uint64_t locations)
{
    return "Comparison stopped at 0x" + bVarious::HexNumber(position1) + ": " +
           bVarious::DecimalNumber(changed) + " bytes changed, " +
           bVarious::DecimalNumber(locations) + " locations before it.";
}

std::string ChangedWarningLine(const std::string& problem)
{
    return "Warning: " + problem + "; the report shows the bytes as they were read.";
}

std::string SummaryText(std::uint64_t changed, std::uint64_t locations)
{
    return "\r\n" + bVarious::DecimalNumber(changed) + " bytes changed, " +
           bVarious::DecimalNumber(locations) + " locations";
}

std::string RealignNoteLine(std::uint64_t window)
{
    return "Realigned: where bytes were inserted into or removed from one file, the comparison "
           "lines the files up again (shifts up to 0x" +
           bVarious::HexNumber(window) + " bytes) and goes on to the end of both";
}

std::string OnlyInFileLine(std::uint64_t label, int file, std::uint64_t from, std::uint64_t count,
                           std::int64_t shift)
{
    std::string position = bVarious::OffsetLabel(from + count - 1);
    position.pop_back();
    std::string line = bVarious::OffsetLabel(label) + " " + bVarious::DecimalNumber(count) +
                       " bytes only in file " + FileNumber(file) + ", at " +
                       bVarious::OffsetLabel(from);
    line.back() = '-';
    line += position + " (shift now ";
    if (shift > 0)
        line += "+0x" + bVarious::HexNumber(static_cast<std::uint64_t>(shift));
    else if (shift < 0)
        line += "-0x" + bVarious::HexNumber(0 - static_cast<std::uint64_t>(shift));
    else
        line += "0x0";
    return line + ")";
}

std::string RealignedCountsText(std::uint64_t insertions, std::uint64_t inserted,
                                std::uint64_t removals, std::uint64_t removed)
{
    return ", " + bVarious::DecimalNumber(insertions) + " insertions (" +
           bVarious::DecimalNumber(inserted) + " bytes), " + bVarious::DecimalNumber(removals) +
           " removals (" + bVarious::DecimalNumber(removed) + " bytes)";
}

} // namespace bFile
