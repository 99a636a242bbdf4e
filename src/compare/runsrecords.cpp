#include "runsrecords.h"

#include "reportformat.h"

#include <stdexcept>
#include <utility>

namespace bFile {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHex(std::string& text, std::span<const unsigned char> bytes)
{
    for (const unsigned char byte : bytes) {
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0xF];
    }
}

std::string Ranges(const char* op, std::uint64_t a0, std::uint64_t a1, std::uint64_t b0,
                   std::uint64_t b1)
{
    using bVarious::DecimalNumber;
    return std::string("{\"op\":\"") + op + "\",\"a\":[" + DecimalNumber(a0) + "," +
           DecimalNumber(a1) + "],\"b\":[" + DecimalNumber(b0) + "," + DecimalNumber(b1) + "]";
}

} // namespace

RunsRecords::RunsRecords(std::function<void(std::string_view)> write) : m_write(std::move(write)) {}

void RunsRecords::Begin(std::uint64_t position1, std::uint64_t position2)
{
    m_at1 = position1;
    m_at2 = position2;
}

void RunsRecords::Changed(std::uint64_t position1, std::uint64_t position2, std::uint8_t byte2)
{
    const std::uint64_t held = m_changedHex.size() / 2;
    if (held == 0 || position1 != m_changed1 + held || position2 != m_changed2 + held ||
        held == kMaxRecordBytes) {
        CatchUp(position1, position2);
        m_changed1 = position1;
        m_changed2 = position2;
    }
    AppendHex(m_changedHex, {&byte2, 1});
}

void RunsRecords::OnlyInFile2(std::uint64_t position1, std::uint64_t position2, std::uint64_t count)
{
    CatchUp(position1, position2);
    m_write(Ranges("insert", position1, position1, position2, position2 + count) + ",\"data\":\"");
    m_at2 = position2 + count;
    m_insertedLeft = count;
    if (count == 0)
        m_write("\"}\n");
}

void RunsRecords::InsertedBytes(std::span<const unsigned char> bytes)
{
    if (bytes.size() > m_insertedLeft)
        throw std::logic_error("more inserted bytes than announced");
    std::string hex;
    hex.reserve(bytes.size() * 2 + 3);
    AppendHex(hex, bytes);
    m_insertedLeft -= bytes.size();
    if (m_insertedLeft == 0)
        hex += "\"}\n";
    m_write(hex);
}

void RunsRecords::OnlyInFile1(std::uint64_t position1, std::uint64_t count, std::uint64_t position2)
{
    CatchUp(position1, position2);
    m_write(Ranges("delete", position1, position1 + count, position2, position2) + "}\n");
    m_at1 = position1 + count;
}

void RunsRecords::End(std::uint64_t position1, std::uint64_t position2)
{
    CatchUp(position1, position2);
}

std::string RunsRecords::SummaryRecord(const CompareSummary& summary)
{
    using bVarious::DecimalNumber;
    return "{\"op\":\"summary\",\"changed\":" + DecimalNumber(summary.changed) +
           ",\"locations\":" + DecimalNumber(summary.locations) +
           ",\"insertions\":" + DecimalNumber(summary.insertions) +
           ",\"inserted\":" + DecimalNumber(summary.inserted) +
           ",\"removals\":" + DecimalNumber(summary.removals) +
           ",\"removed\":" + DecimalNumber(summary.removed) + "}\n";
}

void RunsRecords::CatchUp(std::uint64_t position1, std::uint64_t position2)
{
    if (m_insertedLeft > 0)
        throw std::logic_error("an insert record is still open");
    WriteChanged();
    if (position1 - m_at1 != position2 - m_at2 || position1 < m_at1)
        throw std::logic_error("the stretches do not line up");
    if (position1 > m_at1)
        m_write(Ranges("equal", m_at1, position1, m_at2, position2) + "}\n");
    m_at1 = position1;
    m_at2 = position2;
}

void RunsRecords::WriteChanged()
{
    if (m_changedHex.empty())
        return;
    const std::uint64_t count = m_changedHex.size() / 2;
    // Equal bytes before the changed ones come first.
    const std::string changedHex = std::exchange(m_changedHex, {});
    CatchUp(m_changed1, m_changed2);
    m_write(Ranges("replace", m_changed1, m_changed1 + count, m_changed2, m_changed2 + count) +
            ",\"data\":\"" + changedHex + "\"}\n");
    m_at1 = m_changed1 + count;
    m_at2 = m_changed2 + count;
}

} // namespace bFile
