// Settings files (".ini"): the file's bytes read as text in the encodings Notepad saves, and the
// value of a key in a section, read the way Windows' profile functions read it. Both hosts and
// the tests' fake read the file's bytes themselves and hand them to these.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tk {

// More than any settings file of the program needs; a larger file is refused unread.
inline constexpr std::size_t kMaxProfileBytes = 64 * 1024;

// Bytes of the system's ANSI code page as UTF-8; nothing when a byte has no character there.
using AnsiDecoder = std::function<std::optional<std::string>(std::string_view bytes)>;

// An ini file's bytes as UTF-8 text: UTF-16 LE with its byte-order mark, UTF-8 with or without
// one, else the ANSI code page. Bytes that are none of these (a UTF-16 BE file, a NUL in a byte
// file, broken UTF-8 after its mark, a byte the code page lacks, more than kMaxProfileBytes)
// throw 321 with the reason: such a file is never read as if it held no setting.
std::string profileText(std::string_view bytes, const AnsiDecoder& decodeAnsi);

// The value of `key` in `[section]` of an ini file's text (UTF-8): section and key names ignore
// case and the blanks around them; the value loses the blanks around it and one pair of matching
// quotes. The first section of that name and its first such key count. Nothing when the section
// or the key is missing.
std::optional<std::string> profileValue(std::string_view text, std::string_view section,
                                        std::string_view key);

}  // namespace tk
