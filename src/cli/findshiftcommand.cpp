#include "findshiftcommand.h"

#include "findshift.h"
#include "hexoffset.h"
#include "reportformat.h"
#include "shifttext.h"
#include "statussink.h"

#include <algorithm>

std::variant<std::uint64_t, std::string> ShiftWindowFromText(std::string_view text)
{
    const std::string notANumber = "is not a number of bytes";
    unsigned shiftBits = 0;
    if (!text.empty()) {
        switch (text.back()) {
        case 'K':
            shiftBits = 10;
            break;
        case 'M':
            shiftBits = 20;
            break;
        case 'G':
            shiftBits = 30;
            break;
        default:
            break;
        }
        if (shiftBits > 0)
            text.remove_suffix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != text.npos)
        return notANumber;
    const std::string tooLarge =
        "is more than the largest window, " + bVarious::DecimalNumber(kMaxShiftWindow >> 30) + "G";
    // Leading zeros add nothing; past them, twenty digits are more than 64 bits hold.
    text.remove_prefix(std::min(text.find_first_not_of('0'), text.size()));
    if (text.size() > 19)
        return tooLarge;
    std::uint64_t value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value == 0)
        return notANumber;
    if (value > kMaxShiftWindow >> shiftBits)
        return tooLarge;
    return value << shiftBits;
}

ShiftAnswer RunFindShift(const CompareRequest& request, std::uint64_t offset1,
                         std::uint64_t offset2, StatusLine& status)
{
    StatusSink sink(status);
    bFile::ShiftOptions options;
    if (request.shiftWindow)
        options.window = *request.shiftWindow;
    const bFile::ShiftResult result =
        bFile::FindShift(request.file1, request.file2, offset1, offset2, sink, options);
    if (result.outcome != bFile::ShiftOutcome::Found)
        return {bFile::ShiftNotFoundText(result) + "\n", 1};

    std::string text = "--offset1 " + bVarious::HexNumber(result.offset1) + " --offset2 " +
                       bVarious::HexNumber(result.offset2) + "\n" + bFile::ShiftFoundText(result);
    // Said rather than cut: an offset the option does not take must not pass for one it does.
    const std::uint64_t largest = std::max(result.offset1, result.offset2);
    if (bVarious::HexNumber(largest).size() > bVarious::kMaxOffsetDigits) {
        text += " These offsets need more than " + std::to_string(bVarious::kMaxOffsetDigits) +
                " hex digits, which --offset1 and --offset2 do not take.";
    }
    return {text + "\n", 0};
}
