#pragma once

#include <string>

// Where an output path leads, its symbolic links followed as the kernel follows them.
struct OutputPath
{
    // One of this program's own open descriptors (`/dev/stdout`, `/dev/fd/N`,
    // `/proc/self/fd/N`, or a link to one of them), or -1.
    int descriptor = -1;
    // Otherwise the path at the end of its links, which need not exist (a dangling link names
    // the file to create); it lies in the folder where a file to replace it would go.
    std::string end;
    // The end is a link of the kernel's own (another process's `/proc/PID/fd/N`): the file it
    // leads to can be opened through it, but has no path of its own to write beside.
    bool kernelLink = false;
};

// The destination of path. Neither a descriptor nor an end, with errno set, when the links
// cannot be followed (too many, too long).
OutputPath ResolveOutputPath(std::string path);
