#include "reportbody.h"

#include "bytechar.h"
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
    : m_sink(sink), m_byLines(byLines), m_withChars(withChars)
{}

void ReportBody::AddByte(std::uint64_t index, std::uint64_t position1, std::uint8_t byte1,
                         std::uint8_t byte2)
{
    if (m_byLines)
        AddToRow(index, byte1, byte2);
    else
        WriteNormalLine(position1, byte1, byte2);
}

void ReportBody::EndRow()
{
    if (m_rowFill == 0)
        return;
    m_rowFill = 0;
    for (const FileRow& file : m_row) {
        WriteLine(file.hex);
        if (m_withChars)
            WriteLine(file.chars);
    }
}

// Writes the Normal layout's line for one differing byte: its label, both hex values and,
// when asked for, both characters.
void ReportBody::WriteNormalLine(std::uint64_t position1, std::uint8_t byte1, std::uint8_t byte2)
{
    Line line;
    char* out = bVarious::WriteOffsetLabel(line.text, position1);
    *out++ = ' ';
    out = bVarious::WriteByteHex(out, byte1);
    *out++ = ' ';
    out = bVarious::WriteByteHex(out, byte2);
    if (m_withChars) {
        *out++ = ' ';
        *out++ = ' ';
        out = WriteChar(out, byte1);
        *out++ = ' ';
        out = WriteChar(out, byte2);
    }
    line.size = static_cast<std::size_t>(out - line.text);
    WriteLine(line);
}

// Adds one differing byte to the By lines row being built, labelling a new row with index.
void ReportBody::AddToRow(std::uint64_t index, std::uint8_t byte1, std::uint8_t byte2)
{
    if (m_rowFill == 0) {
        // Rows are labelled with the index, not the file position; the other lines start
        // under the label with blanks of its width, which grows past eight digits.
        Line& label = m_row[0].hex;
        label.size =
            static_cast<std::size_t>(bVarious::WriteOffsetLabel(label.text, index) - label.text);
        for (Line* line : {&m_row[0].chars, &m_row[1].hex, &m_row[1].chars}) {
            std::memset(line->text, ' ', label.size);
            line->size = label.size;
        }
    }
    const std::uint8_t bytes[2] = {byte1, byte2};
    for (std::size_t f = 0; f < 2; ++f) {
        Line& hex = m_row[f].hex;
        char* out = hex.text + hex.size;
        *out++ = ' ';
        hex.size = static_cast<std::size_t>(bVarious::WriteByteHex(out, bytes[f]) - hex.text);
        if (m_withChars) {
            // Two blanks put each character under the second digit of its hex value.
            Line& chars = m_row[f].chars;
            out = chars.text + chars.size;
            *out++ = ' ';
            *out++ = ' ';
            chars.size = static_cast<std::size_t>(WriteChar(out, bytes[f]) - chars.text);
        }
    }
    if (++m_rowFill == kRowBytes)
        EndRow();
}

// Passes one finished line to the sink.
void ReportBody::WriteLine(const Line& line)
{
    m_sink.AppendLine(std::string_view(line.text, line.size), 0, 0);
}

} // namespace bFile
