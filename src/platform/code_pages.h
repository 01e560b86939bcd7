// The code pages the program meets besides UTF-8: the ANSI code page, in which the record file is
// written and a settings file may be, and the OEM code page, in which zip tools store names without
// the UTF-8 flag. Windows uses the system's; the substitute those of a Turkish Windows (1254 and
// 857).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tk::host {

// UTF-8 text in the ANSI code page; a character the code page lacks becomes "?".
std::string toAnsi(std::string_view utf8);

// Bytes of the OEM code page as UTF-8.
std::string decodeOem(std::string_view bytes);

// Bytes of the ANSI code page as UTF-8 (a settings file without a byte-order mark); nothing when
// a byte has no character in the code page.
std::optional<std::string> decodeAnsi(std::string_view bytes);

}  // namespace tk::host
