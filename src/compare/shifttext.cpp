#include "shifttext.h"

#include "reportformat.h"

namespace bFile {

namespace {

// value as "0x" and its hex digits.
std::string Hex(std::uint64_t value)
{
    return "0x" + bVarious::HexNumber(value);
}

} // namespace

std::string ShiftFoundText(const ShiftResult& result)
{
    const auto magnitude =
        static_cast<std::uint64_t>(result.shift < 0 ? -result.shift : result.shift);
    std::string text = "File 2 is shifted by " + std::string(result.shift < 0 ? "-" : "+") +
                       Hex(magnitude) + " from " + Hex(result.difference1) + ": equal for " +
                       (result.lengthIsLowerBound ? "at least " : "") + Hex(result.equalLength) +
                       " bytes.";
    if (result.ambiguous)
        text += " The data repeats: other shifts fit as well, the smallest was taken.";
    return text;
}

std::string ShiftNotFoundText(const ShiftResult& result)
{
    if (result.outcome == ShiftOutcome::NoDifference) {
        return "The files do not differ from the start offsets up to " + Hex(result.difference1) +
               " in file 1 and " + Hex(result.difference2) +
               " in file 2, where the shorter range ends: there is nothing to line up.";
    }
    return "The files first differ at " + Hex(result.difference1) + " in file 1 and " +
           Hex(result.difference2) + " in file 2; no shift of up to " + Hex(result.window) +
           " bytes either way makes them equal again for " + Hex(result.minimumStretch) + " bytes.";
}

} // namespace bFile
