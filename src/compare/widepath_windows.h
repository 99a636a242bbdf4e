#pragma once

#include <string>
#include <string_view>

namespace bFile {

// Names are UTF-8 inside the program; the system's wide calls take UTF-16. Bytes that are not
// UTF-8 become U+FFFD, and unpaired surrogates from the system become U+FFFD too.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// A UTF-8 path as the system's wide file calls take it. A path longer than the old limit of
// 260 characters is made absolute and given the \\?\ prefix ("\\?\UNC\" for a share), which
// lifts the limit; a path that already has a \\?\ or \\.\ prefix is left as it is.
std::wstring WidePath(const std::string& path);

// The text of a system error code. The codes that have a C library counterpart read as the
// C library says them ("No such file or directory"), as on other systems.
std::string SystemErrorText(unsigned long error);

} // namespace bFile
