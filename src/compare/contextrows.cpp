#include "contextrows.h"

#include "reportformat.h"

#include <algorithm>

namespace bFile {

bool ContextRow::Differs() const
{
    return std::any_of(cells.begin(), cells.end(),
                       [](const ContextCell& c) { return c.Differs(); });
}

std::vector<ContextRow> LayRows(const ContextLayout& layout, std::uint64_t firstRow,
                                std::uint64_t count, const unsigned char* bytes1,
                                const unsigned char* bytes2)
{
    const std::uint64_t rows =
        firstRow >= layout.RowCount() ? 0 : std::min(count, layout.RowCount() - firstRow);
    const std::array<const unsigned char*, 2> bytes = {bytes1, bytes2};
    std::array<FileStretch, 2> shown;
    for (int file = 1; file <= 2; ++file)
        shown[file - 1] = layout.Shown(file, firstRow, rows);

    std::vector<ContextRow> laid(rows);
    for (std::uint64_t i = 0; i < rows; ++i) {
        ContextRow& row = laid[i];
        row.row = firstRow + i;
        for (int file = 1; file <= 2; ++file) {
            const int side = file - 1;
            row.label[side] = layout.RowLabel(file, row.row);
            for (unsigned column = 0; column < kContextRowBytes; ++column) {
                if (side == 0)
                    row.cells[column].edited = layout.InEdit(row.row, column);
                const std::optional<std::uint64_t> at = layout.PositionAt(file, row.row, column);
                if (!at)
                    continue;
                row.cells[column].present[side] = true;
                row.cells[column].value[side] = bytes[side][*at - shown[side].position];
            }
        }
    }
    return laid;
}

char ViewChar(std::uint8_t value)
{
    return value >= 0x20 && value < 0x7F ? static_cast<char>(value) : '.';
}

std::string RowText(const ContextRow& row, const ContextColumns& columns)
{
    std::string text(static_cast<std::size_t>(columns.Width()), ' ');
    for (int file = 1; file <= 2; ++file) {
        const int side = file - 1;
        if (const std::optional<std::uint64_t> label = row.label[side]) {
            const std::string digits = bVarious::HexNumber(*label);
            const auto width = static_cast<std::size_t>(columns.LabelDigits());
            const std::size_t pad = width > digits.size() ? width - digits.size() : 0;
            text.replace(static_cast<std::size_t>(columns.Side(file)), width,
                         std::string(pad, '0') + digits);
        }
        for (unsigned column = 0; column < kContextRowBytes; ++column) {
            const ContextCell& cell = row.cells[column];
            if (!cell.present[side])
                continue;
            const auto hex = static_cast<std::size_t>(columns.Hex(file, column));
            if (cell.Differs())
                text[hex - 1] = '*';
            bVarious::WriteByteHex(text.data() + hex, cell.value[side]);
            text[static_cast<std::size_t>(columns.Char(file, column))] = ViewChar(cell.value[side]);
        }
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string HeadingText(const ContextColumns& columns)
{
    return "File 1" + std::string(static_cast<std::size_t>(columns.Side(2)) - 6, ' ') + "File 2";
}

} // namespace bFile
