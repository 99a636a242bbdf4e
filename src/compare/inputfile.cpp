#include "inputfile.h"

#include "compareerror.h"
#include "visiblename.h"

#include <new>
#include <utility>

namespace bFile {

namespace {

constexpr std::size_t kPageSize = 4096;

} // namespace

InputFile::InputFile(int number, std::string path, std::string task, FileOpener open)
    : m_number(number), m_path(std::move(path)), m_task(std::move(task)), m_open(std::move(open))
{}

std::string InputFile::Name() const
{
    return std::to_string(m_number) + " (" + bVarious::VisibleName(m_path) + ")";
}

void InputFile::Fail(const std::string& what, const FileSourceError& error) const
{
    throw CompareError(what + " file " + Name() + ": " + error.what());
}

void InputFile::FailChanged(const std::string& how) const
{
    throw CompareError("File " + Name() + " " + how + " during " + m_task);
}

void InputFile::Measure()
{
    try {
        if (const std::optional<std::uint64_t> reported = ReportedLength(m_path)) {
            m_length = *reported;
        } else {
            m_source = m_open(m_path);
            m_length = m_source->Size();
        }
        m_measured = true;
    } catch (const FileSourceError& error) {
        Fail("Cannot get the size of", error);
    }
}

void InputFile::Open(std::uint64_t position)
{
    try {
        if (!m_source)
            m_source = m_open(m_path);
        m_opened = m_source->State();
        if (!m_measured)
            m_length = m_opened->size;
        m_next.reset();
        m_source->Seek(position);
        m_next = position;
    } catch (const FileSourceError& error) {
        Fail("Cannot open", error);
    }
}

void InputFile::ReadAt(std::uint64_t position, unsigned char* into, std::size_t count)
{
    if (count == 0)
        return;
    std::size_t filled = 0;
    try {
        if (m_next != position)
            m_source->Seek(position);
        // Until the read is whole, where the source stands is not known.
        m_next.reset();
        while (filled < count) {
            const std::size_t got = m_source->Read(into + filled, count - filled);
            if (got == 0)
                FailChanged("got shorter");
            filled += got;
        }
        m_next = position + count;
    } catch (const FileSourceError& error) {
        Fail("Cannot read", error);
    }
}

unsigned char* InputFile::AllocateBlock(std::size_t size)
{
    const std::size_t pages = (size + kPageSize - 1) / kPageSize;
    m_block.reset(static_cast<unsigned char*>(
        ::operator new (pages* kPageSize, std::align_val_t{kPageSize})));
    return m_block.get();
}

void InputFile::FreePages::operator()(unsigned char* bytes) const
{
    ::operator delete (bytes, std::align_val_t{kPageSize});
}

void InputFile::CheckUnchanged() const
{
    if (!m_opened)
        return;
    FileState now;
    try {
        now = m_source->State();
    } catch (const FileSourceError& error) {
        Fail("Cannot get the size of", error);
    }
    if (now.size != m_length)
        FailChanged("changed its size");
    if (!SameContents(*m_opened, now))
        FailChanged("changed");
}

} // namespace bFile
