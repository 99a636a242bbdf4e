#include "reportposition.h"

#include "panelines.h"

#include <QTextBlock>
#include <QTextDocument>

namespace bVarious {

namespace {

// By lines rows under a label: the characters, file 2's bytes and their characters.
constexpr int kRowsUnderALabel = 3;

bool IsHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// The first labelled line of the blocks from number first up to (not including) end.
std::optional<LabelledLine> FirstLabelledLine(const QTextDocument& document, int first, int end)
{
    for (QTextBlock block = document.findBlockByNumber(first);
         block.isValid() && block.blockNumber() < end; block = block.next()) {
        const int blockEnd = block.position() + block.length();
        for (PaneLine line(document, block.position());
             line.IsValid() && line.Position() < blockEnd; line.Next()) {
            if (const auto label = LineLabel(line.Text()))
                return LabelledLine{line.Position(), *label};
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::uint64_t> LabelAt(const QTextDocument& document, int position, bool byLines)
{
    PaneLine line(document, position);
    const int rowsUnder = byLines ? kRowsUnderALabel : 0;
    for (int up = 0; line.IsValid() && up <= rowsUnder; ++up, line.Previous()) {
        if (const auto label = LineLabel(line.Text()))
            return label;
        if (!line.Text().startsWith(u' '))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<LabelledLine> LineAtOrBefore(const QTextDocument& document, std::uint64_t label)
{
    // The last block whose first labelled line is at or below the label...
    std::optional<LabelledLine> best;
    int low = 0, high = document.blockCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const std::optional<LabelledLine> first = FirstLabelledLine(document, middle, high);
        if (!first || first->label > label) {
            high = middle;
            continue;
        }
        best = first;
        low = document.findBlock(first->position).blockNumber() + 1;
    }
    if (!best)
        return std::nullopt;
    // ...and in it, and the blocks without a label after it, the last such line.
    for (PaneLine line(document, best->position); line.IsValid(); line.Next()) {
        const auto found = LineLabel(line.Text());
        if (!found)
            continue;
        if (*found > label)
            break;
        best = LabelledLine{line.Position(), *found};
    }
    return best;
}

int LineByteCount(QStringView line)
{
    qsizetype at = line.indexOf(u':');
    if (at < 0)
        return 0;
    int count = 0;
    for (++at; at + 2 < line.size(); at += 3) {
        if (line[at] != u' ' || !IsHexDigit(line[at + 1]) || !IsHexDigit(line[at + 2]))
            break;
        ++count;
    }
    return count;
}

std::uint64_t RemovedCount(QStringView line)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return 0;
    const QStringView rest = line.mid(colon + 1).trimmed();
    const qsizetype space = rest.indexOf(u' ');
    if (space < 0 || !rest.mid(space).startsWith(u" bytes only in file 1,"))
        return 0;
    bool ok = false;
    const qulonglong count = rest.left(space).toULongLong(&ok);
    return ok ? count : 0;
}

} // namespace bVarious
