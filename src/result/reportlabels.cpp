#include "reportlabels.h"

#include "panelines.h"

#include <algorithm>

namespace bVarious {

namespace {

constexpr qsizetype kMinDigits = 8;
constexpr qsizetype kMaxDigits = 16;

// The value of a hex digit in either case; -1 for any other character.
int HexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

} // namespace

std::optional<std::uint64_t> LineLabel(QStringView line)
{
    std::uint64_t label = 0;
    qsizetype digits = 0;
    for (; digits < line.size() && digits <= kMaxDigits; ++digits) {
        const int value = HexDigit(line[digits]);
        if (value < 0)
            break;
        label = label << 4 | std::uint64_t(value);
    }
    if (digits < kMinDigits || digits > kMaxDigits || digits == line.size() || line[digits] != u':')
        return std::nullopt;
    return label;
}

std::vector<LabelledLine> LabelledLines(const QTextDocument& document)
{
    std::vector<LabelledLine> lines;
    for (PaneLine line(document, 0); line.IsValid(); line.Next()) {
        if (const auto label = LineLabel(line.Text()))
            lines.push_back({line.Position(), *label});
    }
    return lines;
}

std::optional<int> LineForLabel(const std::vector<LabelledLine>& lines, std::uint64_t label)
{
    const LabelledLine* best = nullptr;
    for (const LabelledLine& line : lines) {
        if (line.label >= label && (best == nullptr || line.label < best->label))
            best = &line;
    }
    if (best == nullptr)
        return std::nullopt;
    return best->position;
}

std::optional<LabelledLine> NearestLabelledLine(const QTextDocument& document, int position,
                                                int limit)
{
    const bool forward = limit >= position;
    const int low = std::min(position, limit);
    const int high = std::max(position, limit);
    PaneLine line(document, position);
    // The line holding position may start before it, and so outside the stretch.
    if (forward && line.IsValid() && line.Position() < low)
        line.Next();
    for (; line.IsValid() && line.Position() >= low && line.Position() <= high;
         forward ? line.Next() : line.Previous()) {
        if (const auto label = LineLabel(line.Text()))
            return LabelledLine{line.Position(), *label};
    }
    return std::nullopt;
}

} // namespace bVarious
