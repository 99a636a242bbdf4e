#include "processstart.h"

#include <csignal>

std::vector<std::string> StartProcess(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    return std::vector<std::string>(argv + 1, argv + argc);
}
