#include "reportlabels.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace bVarious {

namespace {

constexpr qsizetype kMinDigits = 8;
constexpr qsizetype kMaxDigits = 16;

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

// The lines of a block: lines gathered into one paragraph are joined by line separators.
template <typename Visit> void ForEachLine(const QTextBlock& block, Visit visit)
{
    const QString text = block.text();
    qsizetype start = 0;
    while (true) {
        const qsizetype end = text.indexOf(QChar::LineSeparator, start);
        visit(block.position() + int(start),
              QStringView(text).mid(start, end < 0 ? -1 : end - start));
        if (end < 0)
            return;
        start = end + 1;
    }
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
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        ForEachLine(block, [&lines](int position, QStringView line) {
            if (const auto label = LineLabel(line))
                lines.push_back({position, *label});
        });
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
    for (QTextBlock block = document.findBlock(position); block.isValid();
         block = forward ? block.next() : block.previous()) {
        if (block.position() > high || block.position() + block.length() <= low)
            break;
        std::vector<LabelledLine> lines;
        ForEachLine(block, [&](int start, QStringView line) {
            if (start < low || start > high)
                return;
            if (const auto label = LineLabel(line))
                lines.push_back({start, *label});
        });
        if (!lines.empty())
            return forward ? lines.front() : lines.back();
    }
    return std::nullopt;
}

} // namespace bVarious
