#pragma once

#include "comparefiles.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace bFile {

// A comparison as JSON Lines records for scripts, one a stretch, each ending in "\n":
//   {"op":"equal","a":[0,40],"b":[0,40]}
//   {"op":"replace","a":[40,44],"b":[40,44],"data":"fffefdfc"}
//   {"op":"insert","a":[44,44],"b":[44,129],"data":"3fa1..."}
//   {"op":"delete","a":[44,300],"b":[129,129]}
// a and b are half-open ranges of file 1 and file 2 (decimal, from each file's first byte);
// data is the hex of file 2's bytes. Applied in order to file 1's compared range, the records
// give file 2's. Equal stretches and changed ones are merged as long as they run on; a
// changed stretch longer than kMaxRecordBytes goes on in the next record, so that memory
// stays bounded.
class RunsRecords
{
  public:
    static constexpr std::size_t kMaxRecordBytes = 4 << 20;

    // write takes the records' text as it is made, a record or a part of one at a time.
    explicit RunsRecords(std::function<void(std::string_view)> write);

    // The calls of a sink that keeps stretches (CompareSink), in their order.
    void Begin(std::uint64_t position1, std::uint64_t position2);
    void Changed(std::uint64_t position1, std::uint64_t position2, std::uint8_t byte2);
    void OnlyInFile2(std::uint64_t position1, std::uint64_t position2, std::uint64_t count);
    void InsertedBytes(std::span<const unsigned char> bytes);
    void OnlyInFile1(std::uint64_t position1, std::uint64_t count, std::uint64_t position2);
    void End(std::uint64_t position1, std::uint64_t position2);

    // The last record: {"op":"summary","changed":12,"locations":4,"insertions":1,
    // "inserted":85,"removals":0,"removed":0}.
    static std::string SummaryRecord(const CompareSummary& summary);

  private:
    // Writes the equal stretch up to the given positions, if any, and the changed one held.
    void CatchUp(std::uint64_t position1, std::uint64_t position2);
    void WriteChanged();

    std::function<void(std::string_view)> m_write;
    std::uint64_t m_at1 = 0, m_at2 = 0; // where the next record starts
    // The changed stretch being gathered: its start and file 2's bytes in hex.
    std::uint64_t m_changed1 = 0, m_changed2 = 0;
    std::string m_changedHex;
    std::uint64_t m_insertedLeft = 0; // bytes of an insert record still to come
};

} // namespace bFile
