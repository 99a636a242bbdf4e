#pragma once

#include <string>
#include <string_view>

// The engine's status texts on one refreshing line of a terminal.
class StatusLine
{
  public:
    // Shows nothing unless enabled and fd is a terminal, so that logs and pipes get no
    // progress noise.
    StatusLine(int fd, bool enabled);

    // Shows the text in place of the previous one; a repeated text costs no write.
    void Show(std::string_view text);

    // Empties the line, so that what is printed next starts clean.
    void Clear();

  private:
    void Put(std::string_view text);

    int m_fd;
    bool m_enabled;
    std::string m_shown;
};
