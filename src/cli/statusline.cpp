#include "statusline.h"

#include <unistd.h>

namespace {

// Carriage return to the line's start; "erase to end of line" after the text.
constexpr std::string_view kLineStart = "\r";
constexpr std::string_view kEraseRest = "\x1b[K";

} // namespace

StatusLine::StatusLine(int fd, bool enabled) : m_fd(fd), m_enabled(enabled && isatty(fd) == 1) {}

void StatusLine::Show(std::string_view text)
{
    if (!m_enabled || text == m_shown)
        return;
    m_shown.assign(text);
    Put(std::string(kLineStart) + m_shown + std::string(kEraseRest));
}

void StatusLine::Clear()
{
    if (!m_enabled || m_shown.empty())
        return;
    m_shown.clear();
    Put(std::string(kLineStart) + std::string(kEraseRest));
}

// Writes text to the terminal as it is; stops showing anything once a write fails.
void StatusLine::Put(std::string_view text)
{
    // Progress is a courtesy: a terminal that stops taking it must not end the comparison,
    // so a failed write only switches the display off.
    if (write(m_fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        m_enabled = false;
}
