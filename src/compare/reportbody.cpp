#include "reportbody.h"

#include "reportformat.h"

#include <cstring>
#include <string_view>

namespace bFile {

namespace {

char* WriteChar(char* out, std::uint8_t value)
{
    const std::string_view c = ByteChar(value);
    std::memcpy(out, c.data(), c.size());
    return out + c.size();
}

} // namespace

ReportBody::ReportBody(CompareSink& sink, bool byLines, bool withChars)
    : sink_(sink), byLines_(byLines), withChars_(withChars)
{}

void ReportBody::AddByte(std::uint64_t index, std::uint64_t position1, std::uint8_t byte1,
                         std::uint8_t byte2)
{
    if (!byLines_) {
        Line line;
        char* out = bVarious::WriteOffsetLabel(line.text, position1);
        *out++ = ' ';
        out = bVarious::WriteByteHex(out, byte1);
        *out++ = ' ';
        out = bVarious::WriteByteHex(out, byte2);
        if (withChars_) {
            *out++ = ' ';
            *out++ = ' ';
            out = WriteChar(out, byte1);
            *out++ = ' ';
            out = WriteChar(out, byte2);
        }
        line.size = static_cast<std::size_t>(out - line.text);
        WriteLine(line);
        return;
    }

    if (rowFill_ == 0) {
        // Rows are labelled with the index, not the file position; the other rows start
        // under the label with blanks of its width, which grows past eight digits.
        const std::size_t labelWidth = static_cast<std::size_t>(
            bVarious::WriteOffsetLabel(rows_[0].text, index) - rows_[0].text);
        rows_[0].size = labelWidth;
        for (std::size_t r = 1; r < 4; ++r) {
            std::memset(rows_[r].text, ' ', labelWidth);
            rows_[r].size = labelWidth;
        }
    }
    const std::uint8_t bytes[2] = {byte1, byte2};
    for (std::size_t f = 0; f < 2; ++f) {
        Line& hex = rows_[2 * f];
        char* out = hex.text + hex.size;
        *out++ = ' ';
        hex.size = static_cast<std::size_t>(bVarious::WriteByteHex(out, bytes[f]) - hex.text);
        if (withChars_) {
            // Two blanks put each character under the second digit of its hex value.
            Line& chars = rows_[2 * f + 1];
            out = chars.text + chars.size;
            *out++ = ' ';
            *out++ = ' ';
            chars.size = static_cast<std::size_t>(WriteChar(out, bytes[f]) - chars.text);
        }
    }
    if (++rowFill_ == kRowBytes)
        EndRow();
}

void ReportBody::EndRow()
{
    if (rowFill_ == 0)
        return;
    rowFill_ = 0;
    for (std::size_t r = 0; r < 4; ++r) {
        if (withChars_ || r % 2 == 0)
            WriteLine(rows_[r]);
    }
}

void ReportBody::WriteLine(const Line& line)
{
    sink_.AppendLine(std::string_view(line.text, line.size), 0, 0);
}

} // namespace bFile
