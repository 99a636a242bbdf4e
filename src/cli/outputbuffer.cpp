// The report's buffer in front of the output, the same on every system; opening, writing
// and committing the target are the system's own (outputfile.cpp, outputfile_windows.cpp).

#include "outputfile.h"

#include <cstring>

// Writes what is buffered, then text, or keeps text when the buffer takes it.
void OutputFile::WriteLong(std::string_view text)
{
    Flush();
    if (text.size() > kBufferSize)
        return WriteOut(text);
    std::memcpy(m_buffer.get(), text.data(), text.size());
    m_fill = text.size();
}

void OutputFile::Flush()
{
    WriteOut(std::string_view(m_buffer.get(), m_fill));
    m_fill = 0;
}
