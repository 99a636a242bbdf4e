#pragma once

#include "filesource.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lumatra::test {

// A file held in memory: size bytes of fill, except where the runs put theirs; with fill 0,
// what a sparse file reads. The runs are borrowed and must outlive the source. A seek past
// the end is the engine's own mistake: it throws std::logic_error, not a FileSourceError.
class MemorySource final : public bFile::FileSource
{
  public:
    struct Run
    {
        std::uint64_t at;
        std::span<const unsigned char> bytes;
    };

    MemorySource(std::uint64_t size, std::vector<Run> runs, unsigned char fill = 0)
        : m_size(size), m_runs(std::move(runs)), m_fill(fill)
    {}

    void Seek(std::uint64_t position) override
    {
        if (position > m_size)
            throw std::logic_error("seek past the end: " + std::to_string(position));
        m_position = position;
    }
    std::size_t Read(unsigned char* into, std::size_t count) override
    {
        const auto got =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, m_size - m_position));
        const std::uint64_t end = m_position + got;
        std::memset(into, m_fill, got);
        for (const Run& run : m_runs) {
            const std::uint64_t from = std::max(run.at, m_position);
            const std::uint64_t to = std::min<std::uint64_t>(run.at + run.bytes.size(), end);
            if (from < to)
                std::memcpy(into + (from - m_position), run.bytes.data() + (from - run.at),
                            to - from);
        }
        m_position = end;
        return got;
    }
    std::uint64_t Size() override { return m_size; }

  private:
    std::uint64_t m_size;
    std::vector<Run> m_runs;
    unsigned char m_fill;
    std::uint64_t m_position = 0;
};

// A real file with faults put in its way: a hook before each read (numbered from 1) that may
// change the file or throw, and seeks, states or reads that fail on demand.
class WatchedSource final : public bFile::FileSource
{
  public:
    using Hook = std::function<void(int read)>;

    explicit WatchedSource(std::unique_ptr<bFile::FileSource> real, Hook hook = {})
        : m_real(std::move(real)), m_hook(std::move(hook))
    {}

    // Every seek fails.
    void FailSeeks() { m_seekFails = true; }
    // The state fails from the first read on: opening went well.
    void FailStateAfterFirstRead() { m_stateFails = true; }
    // Reads fail once this many bytes have come; the read that reaches the count is cut
    // short there.
    void FailReadsAfter(std::size_t bytes) { m_readsLeft = bytes; }

    void Seek(std::uint64_t position) override
    {
        if (m_seekFails)
            throw bFile::FileSourceError("Invalid argument");
        m_real->Seek(position);
    }
    std::size_t Read(unsigned char* into, std::size_t count) override
    {
        ++m_reads;
        if (m_hook)
            m_hook(m_reads);
        if (!m_readsLeft)
            return m_real->Read(into, count);
        if (*m_readsLeft == 0)
            throw bFile::FileSourceError("Input/output error");
        const std::size_t got = m_real->Read(into, std::min(count, *m_readsLeft));
        *m_readsLeft -= got;
        return got;
    }
    std::uint64_t Size() override { return m_real->Size(); }
    bFile::FileState State() override
    {
        if (m_stateFails && m_reads > 0)
            throw bFile::FileSourceError("Stale file handle");
        return m_real->State();
    }

  private:
    std::unique_ptr<bFile::FileSource> m_real;
    Hook m_hook;
    int m_reads = 0;
    bool m_seekFails = false;
    bool m_stateFails = false;
    std::optional<std::size_t> m_readsLeft;
};

} // namespace lumatra::test
