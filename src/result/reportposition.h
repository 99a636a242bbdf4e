#pragma once

#include "reportlabels.h"

#include <QStringView>
#include <cstdint>
#include <optional>

class QTextDocument;

// Where the report's lines stand in the files, read from the text itself, so that it holds
// after the report was edited. Labels are as reportlabels.h reads them.
namespace bVarious {

// The label of the line holding position; in a By lines report, for a line that starts with
// a blank, the label of the row it continues (at most three lines under it). Nothing for other
// lines.
std::optional<std::uint64_t> LabelAt(const QTextDocument& document, int position, bool byLines);

// The labelled line with the largest label at or below label, found by halving the document:
// a comparison writes its labels in rising order, and lines without a label (typed, or the
// header and summary) are passed over. Nothing when no label lies at or below it.
std::optional<LabelledLine> LineAtOrBefore(const QTextDocument& document, std::uint64_t label);

// How many byte values a labelled line lists after its label before anything else:
// "00000010: 41 42 43" holds 3, "0000001A: 42 62  B b" 2.
int LineByteCount(QStringView line);

// How many bytes of file 1 a line of bytes only in file 1 stands for from its label on:
// "05A1C000: 256 bytes only in file 1, at 05A1C000-05A1C0FF (shift now -0xAB)" 256; 0 for
// any other line.
std::uint64_t RemovedCount(QStringView line);

} // namespace bVarious
