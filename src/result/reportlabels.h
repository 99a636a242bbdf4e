#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

class QTextDocument;

// The labels that the report's body lines start with: eight or more hex digits and a colon.
// Normal lines carry their byte's position in file 1, By lines rows the index of their first
// byte counted from the start offsets. Header, note and summary lines carry none, and neither
// do the rows under a By lines label. Lines are the pane's lines as PaneLine reads them
// (panelines.h): the label of the line at a position is LineLabel(PaneLine(document,
// position).Text()).
namespace bVarious {

// The label a line starts with; nothing for a line without one.
std::optional<std::uint64_t> LineLabel(QStringView line);

struct LabelledLine
{
    int position; // of the line's first character in the document
    std::uint64_t label;
};

// Every labelled line of the document, in document order.
std::vector<LabelledLine> LabelledLines(const QTextDocument& document);

// The line to show for a label: of the lines labelled at or after it the one with the lowest
// label, the first of them in the document. An edited report may hold its lines in any order.
// Nothing when every label lies before it.
std::optional<int> LineForLabel(const std::vector<LabelledLine>& lines, std::uint64_t label);

// The first labelled line met walking from position towards limit (which may lie before it),
// of the lines starting between the two, both included.
std::optional<LabelledLine> NearestLabelledLine(const QTextDocument& document, int position,
                                                int limit);

} // namespace bVarious
