#pragma once

#include "filesource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace bFile {

// How a run opens its files: OpenFileSource, or in tests a wrapper that fails on purpose.
using FileOpener = std::function<std::unique_ptr<FileSource>(const std::string& path)>;

// One of the two input files of a run, numbered 1 and 2 in messages. It is measured, opened
// once, read at any position, and at the end held against the file it was when opened: a
// file that changed under the run gives no trustworthy answer. Every failure throws
// CompareError naming the file: "Cannot read file 2 (b.bin): Input/output error".
class InputFile
{
  public:
    // The file at path, not opened yet. task names the run in the messages about a file that
    // changed under it ("the comparison").
    InputFile(int number, std::string path, std::string task, FileOpener open);

    // 1 or 2.
    int Number() const { return m_number; }
    // The path as given.
    const std::string& Path() const { return m_path; }
    // "1 (a.bin)": the number and the path as VisibleName shows it, for messages.
    std::string Name() const;

    // Throws CompareError "<what> file 1 (a.bin): <the error's text>".
    [[noreturn]] void Fail(const std::string& what, const FileSourceError& error) const;
    // Throws CompareError "File 1 (a.bin) <how> during <task>".
    [[noreturn]] void FailChanged(const std::string& how) const;

    // Takes the length from the system without opening the file. A file whose length only
    // reading tells (see OpenFileSource) is opened, and read whole, now. Fails "Cannot get
    // the size of".
    void Measure();

    // Opens the file unless measuring did, notes its state for CheckUnchanged and moves to
    // position, where the next read needs no seek. A file not measured takes its length from
    // the state at opening. Fails "Cannot open".
    void Open(std::uint64_t position = 0);

    // The file's state when it was opened; nothing before.
    const std::optional<FileState>& Opened() const { return m_opened; }

    // The length measured, or else the one taken at opening; 0 before either.
    std::uint64_t Length() const { return m_length; }

    // Fills into with the count bytes from position on. Any range of the open file may be
    // read, in any order; a read that goes on where the last one ended needs no seek. A file
    // that ends before has changed: "got shorter". Fails "Cannot read".
    void ReadAt(std::uint64_t position, unsigned char* into, std::size_t count);

    // Replaces the file's block with one of at least size bytes whose first byte starts a
    // memory page (reads into it save the kernel a good part of its copying) and returns it.
    // Its bytes start out undefined. Throws std::bad_alloc.
    unsigned char* AllocateBlock(std::size_t size);
    // The block last allocated; null before.
    unsigned char* Block() const { return m_block.get(); }

    // Throws when the open file is no longer the one opened: "changed its size" when its
    // length is not the one the run used, "changed" when it was rewritten. A file not opened
    // yet (though perhaps read whole to be measured) passes. Fails "Cannot get the size of" when
    // the file's state cannot be taken.
    void CheckUnchanged() const;

  private:
    struct FreePages
    {
        void operator()(unsigned char* bytes) const;
    };

    int m_number;
    std::string m_path;
    std::string m_task;
    FileOpener m_open;
    std::unique_ptr<FileSource> m_source;
    std::uint64_t m_length = 0;
    bool m_measured = false;
    std::optional<FileState> m_opened;   // as the file was when it was opened
    std::optional<std::uint64_t> m_next; // where the source stands, when known
    std::unique_ptr<unsigned char, FreePages> m_block;
};

} // namespace bFile
