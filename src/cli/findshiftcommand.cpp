#include "findshiftcommand.h"

#include "findshift.h"
#include "hexoffset.h"
#include "reportformat.h"
#include "shifttext.h"
#include "statussink.h"

std::optional<std::uint64_t> ShiftWindowFromText(std::string_view text)
{
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
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value == 0 || value > kMaxShiftWindow >> shiftBits)
        return std::nullopt;
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
