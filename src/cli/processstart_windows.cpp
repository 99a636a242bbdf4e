#include "processstart.h"
#include "widepath_windows.h"

#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

UINT consoleCodePage = 0;

void RestoreConsoleCodePage()
{
    SetConsoleOutputCP(consoleCodePage);
}

} // namespace

std::vector<std::string> StartProcess(int, char**)
{
    // The report's lines end in CR LF already; text mode would make that CR CR LF. Messages
    // keep their line feeds as on other systems, which the console shows alike.
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
    // Messages are UTF-8, as the names in them are; the console shows them as such while the
    // program runs, and gets its own code page back after.
    consoleCodePage = GetConsoleOutputCP();
    if (consoleCodePage != 0 && consoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        std::atexit(RestoreConsoleCodePage);
    // Progress moves the cursor with the terminal's escape sequences.
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(errors, &mode))
        SetConsoleMode(errors, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);

    // The narrow argv holds the names in the ANSI code page, where most characters are lost.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i)
        arguments.push_back(bFile::Utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}
