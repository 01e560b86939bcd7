// UTF-8 inside, UTF-16 at the Win32 boundary: the conversion functions, defined with the code
// pages in code_pages_win.cpp.
#pragma once

#include <string>
#include <string_view>

namespace tk::host {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

}  // namespace tk::host
