#pragma once

#include <string>
#include <string_view>

namespace bVarious {

// A file name as it may stand in a report line or a message: valid UTF-8 with no control
// character, so that it can neither break a line, forge one nor steer a terminal.
//
// Ordinary characters, non-ASCII letters and blanks included, stay as they are. Shown as
// escapes instead, byte by byte:
// - line feed, carriage return and tab as \n, \r and \t;
// - the other C0 controls, DEL and the C1 controls (U+0080-U+009F) as \xHH for each byte of
//   their encoding (ESC is \x1B, U+009B is \xC2\x9B);
// - the invisible characters that reorder or break a line (U+200E, U+200F, U+202A-U+202E,
//   U+2066-U+2069, U+2028, U+2029) as \xHH for each byte;
// - every byte that is not part of well-formed UTF-8 (overlong forms and surrogates included)
//   as \xHH.
// Hex digits are upper case. A backslash stays single unless it would read as the start of
// an escape, that is when a backslash, n, r, t or x or an escaped character follows it; then
// it is written \\. So every name gives a different text, and "C:\dir" stays as it is. On
// Windows, where it separates folders and names hold no control characters, a backslash is
// never doubled: "C:\users\root" stays as it is.
std::string VisibleName(std::string_view name);

} // namespace bVarious
