// Settings files (".ini"): the value of a key in a section, read the way Windows' profile
// functions read it. Windows asks the system (profile_win.cpp); the substitute and the tests'
// fake read the file's text with profileValue.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tk {

// The value of `key` in `[section]` of an ini file's text (UTF-8, a BOM allowed): section and
// key names ignore case and the blanks around them; the value loses the blanks around it and
// one pair of matching quotes. The first section of that name and its first such key count.
// Nothing when the section or the key is missing.
std::optional<std::string> profileValue(std::string_view text, std::string_view section,
                                        std::string_view key);

}  // namespace tk
