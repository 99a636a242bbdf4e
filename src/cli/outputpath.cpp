#include "outputpath.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The kernel's limit on links in one path.
constexpr int kMaxLinks = 40;

// The number in text made only of decimal digits, else -1.
int DescriptorNumber(std::string_view text)
{
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && !text.starts_with('-')
               ? number
               : -1;
}

// The descriptor that name in folder stands for when folder, resolved, is this process's
// descriptor folder: /proc/PID/fd, or /proc/PID/task/TID/fd. Else -1.
int OwnDescriptor(std::string_view folder, std::string_view name)
{
    const std::string own = "/proc/" + std::to_string(getpid()) + "/";
    if (!folder.starts_with(own) || !folder.ends_with("/fd"))
        return -1;
    folder.remove_prefix(own.size());
    folder.remove_suffix(2);
    if (!folder.empty()) {
        if (!folder.starts_with("task/") ||
            DescriptorNumber(folder.substr(5, folder.size() - 6)) < 0)
            return -1;
    }
    return DescriptorNumber(name);
}

// Where the system has no /dev/fd, the names a shell gives descriptors still mean them.
int DescriptorByName(const std::string& path)
{
    if (path == "/dev/stdin")
        return 0;
    if (path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    return path.starts_with("/dev/fd/") ? DescriptorNumber(std::string_view(path).substr(8)) : -1;
}

} // namespace

OutputPath ResolveOutputPath(std::string path)
{
    struct stat info
    {
    };
    if (lstat(path.c_str(), &info) != 0 && errno == ENOENT && DescriptorByName(path) >= 0)
        return {DescriptorByName(path), {}, false};
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        const std::size_t slash = path.rfind('/');
        const std::string folder =
            slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        // The folder as the kernel sees it: /dev/fd and /proc/self lead to /proc/PID.
        std::vector<char> resolved(PATH_MAX + 1);
        const bool known = realpath(folder.c_str(), resolved.data()) != nullptr;
        const std::string_view where = known ? resolved.data() : "";
        if (known && !name.empty() && OwnDescriptor(where, name) >= 0)
            return {OwnDescriptor(where, name), {}, false};

        std::vector<char> target(PATH_MAX + 1);
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            if (errno == EINVAL || errno == ENOENT)
                return {-1, path, false};
            return {};
        }
        if (static_cast<std::size_t>(length) == target.size()) {
            errno = ENAMETOOLONG;
            return {};
        }
        // The links of /proc lead to what a process has open, which their text only describes
        // ("pipe:[7]", "/tmp/x (deleted)").
        if (where.starts_with("/proc/"))
            return {-1, path, true};
        const std::string_view next(target.data(), static_cast<std::size_t>(length));
        // A relative link is read from the folder that holds it.
        if (next.starts_with('/') || slash == std::string::npos)
            path = next;
        else
            path = path.substr(0, slash + 1) + std::string(next);
    }
    errno = ELOOP;
    return {};
}
