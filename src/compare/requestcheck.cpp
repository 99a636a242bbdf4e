#include "requestcheck.h"

#include "fileexists.h"
#include "hexoffset.h"
#include "version.h"

namespace bFile {

std::variant<CheckedOffsets, FailedCheck> CheckRequest(const std::string& path1,
                                                       const std::string& path2,
                                                       std::string_view offset1,
                                                       std::string_view offset2)
{
    if (!FileExists(path1))
        return FailedCheck{"Error", "File 1 doesn't exist!"};
    if (!FileExists(path2))
        return FailedCheck{"Error", "File 2 doesn't exist!"};
    const auto value1 = bVarious::OffsetFromHex(offset1);
    if (!value1)
        return FailedCheck{LUMATRA_NAME, "Offset 1 isn't HEX number !"};
    const auto value2 = bVarious::OffsetFromHex(offset2);
    if (!value2)
        return FailedCheck{LUMATRA_NAME, "Offset 2 isn't HEX number !"};
    return CheckedOffsets{*value1, *value2};
}

} // namespace bFile
