// The runtime's string operations on UTF-8 text, counting characters (code points), not bytes,
// so that names holding "ş" or "İ" are cut and upper-cased correctly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tk {

// The first / last `count` characters, the whole text when it is shorter.
std::string Left(std::string_view text, std::size_t count);
std::string Right(std::string_view text, std::size_t count);

// Upper case as Windows' invariant mapping does it: "i" becomes "I" (not "İ") whatever the user's
// language, so "dll" always reads "DLL"; Turkish and other Latin letters keep their pairs.
std::string UCase(std::string_view text);

// Number of code points in a UTF-8 text.
std::size_t characterCount(std::string_view text);

// Names compared as Windows compares them, ignoring case over the whole of Unicode as NTFS does
// (one table on every host: "д" and "Д" are one name, "ı" and "I" two).
std::string foldCase(std::string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// UTF-8 encoding of one code point, appended to `out`; and whether a text is well-formed UTF-8
// (no stray bytes, overlong forms, surrogates or code points past U+10FFFF).
void appendUtf8(char32_t c, std::string& out);
bool isValidUtf8(std::string_view text);
// The code points of a UTF-8 text; a stray byte of broken UTF-8 stands for itself.
std::u32string codePoints(std::string_view text);

// Whether `name` matches a Windows wildcard pattern ("*" and "?", which stands for one
// character, "ş" as well as "s"), ignoring case.
bool matchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace tk
