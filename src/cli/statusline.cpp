#include "statusline.h"

#include <unistd.h>

namespace {

// Carriage return to the line's start; "erase to end of line" after the text.
constexpr std::string_view kLineStart = "\r";
constexpr std::string_view kEraseRest = "\x1b[K";

} // namespace

StatusLine::StatusLine(int fd, bool enabled) : fd_(fd), enabled_(enabled && isatty(fd) == 1) {}

void StatusLine::Show(std::string_view text)
{
    if (!enabled_ || text == shown_)
        return;
    shown_.assign(text);
    Put(std::string(kLineStart) + shown_ + std::string(kEraseRest));
}

void StatusLine::Clear()
{
    if (!enabled_ || shown_.empty())
        return;
    shown_.clear();
    Put(std::string(kLineStart) + std::string(kEraseRest));
}

void StatusLine::Put(std::string_view text)
{
    // Progress is a courtesy: a terminal that stops taking it must not end the comparison,
    // so a failed write only switches the display off.
    if (write(fd_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        enabled_ = false;
}
