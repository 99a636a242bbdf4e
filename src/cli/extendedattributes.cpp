#include "extendedattributes.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <sys/types.h>
#include <sys/xattr.h>
#include <vector>

namespace {

// Reads what call(buffer, size) fills, growing the buffer while the value grows under it.
template <typename Call> std::optional<std::string> ReadGrowing(Call call)
{
    for (;;) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t read = call(value.data(), value.size());
        if (read >= 0) {
            value.resize(static_cast<std::size_t>(read));
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
}

// The names of the file's extended attributes; none where the file system has none.
std::optional<std::vector<std::string>> Names(int fd)
{
    const auto list =
        ReadGrowing([fd](char* buffer, std::size_t size) { return flistxattr(fd, buffer, size); });
    if (!list)
        return errno == ENOTSUP ? std::optional(std::vector<std::string>()) : std::nullopt;
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list->size();) {
        const std::size_t end = list->find('\0', start);
        names.push_back(list->substr(start, end - start));
        start = end == std::string::npos ? list->size() : end + 1;
    }
    return names;
}

} // namespace

bool CopyExtendedAttributes(int from, int to)
{
    const auto wanted = Names(from);
    const auto present = Names(to);
    if (!wanted || !present)
        return false;
    for (const std::string& name : *present) {
        if (std::find(wanted->begin(), wanted->end(), name) == wanted->end() &&
            fremovexattr(to, name.c_str()) != 0)
            return false;
    }
    for (const std::string& name : *wanted) {
        const auto value = ReadGrowing([from, &name](char* buffer, std::size_t size) {
            return fgetxattr(from, name.c_str(), buffer, size);
        });
        if (!value || fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0)
            return false;
    }
    return true;
}
