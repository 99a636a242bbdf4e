#include "contextcommand.h"

#include "compareerror.h"
#include "contextfiles.h"
#include "differencesearch.h"
#include "reportformat.h"
#include "statussink.h"

#include <algorithm>
#include <stdexcept>

namespace {

// The heading and the rows around the position, the position's row in the middle where the
// files allow it.
ContextAnswer ContextRows(bFile::ContextFiles& files, std::uint64_t position, std::size_t count)
{
    const bFile::ContextLayout& layout = files.Layout();
    const std::uint64_t row = layout.RowOf(1, position);
    const std::uint64_t last =
        layout.RowCount() - std::min<std::uint64_t>(count, layout.RowCount());
    const std::uint64_t first = std::min(row - std::min<std::uint64_t>(row, count / 2), last);
    const bFile::ContextColumns columns(layout.LabelDigits());

    ContextAnswer answer{bFile::HeadingText(columns) + "\r\n", 0};
    for (const bFile::ContextRow& shown : files.ReadRows(first, count)) {
        answer.text += bFile::RowText(shown, columns) + "\r\n";
        if (shown.Differs())
            answer.exitStatus = 1;
    }
    return answer;
}

} // namespace

ContextAnswer RunContextQuery(const CompareRequest& request, std::uint64_t offset1,
                              std::uint64_t offset2, StatusLine& status)
{
    const std::uint64_t position = request.contextPosition;
    bFile::ContextFiles files(request.file1, request.file2, offset1, offset2);
    if (!files.Layout().Holds(position))
        throw std::invalid_argument(bFile::PositionPastEndText(position, files.Layout().Length(1)));
    if (request.context == ContextQuery::Rows)
        return ContextRows(files, position, request.contextRows.value_or(8));

    StatusSink sink(status);
    const bFile::DifferenceSearch search{request.file1, request.file2, offset1, offset2};
    const std::optional<std::uint64_t> found =
        request.context == ContextQuery::NextDifference
            ? bFile::FindNextDifference(search, position, sink)
            : bFile::FindPreviousDifference(search, position, sink);
    if (!found)
        return {"", 1};
    return {bVarious::HexNumber(*found) + "\n", 0};
}
