// UTF-8 <-> UTF-16 with MultiByteToWideChar / WideCharToMultiByte.
#include "platform/windows/strings_win.h"

#include "platform/windows/win32.h"

namespace tk::host {

std::wstring toWide(std::string_view utf8) {
  if (utf8.empty())
    return {};
  int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string toUtf8(std::wstring_view wide) {
  if (wide.empty())
    return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

}  // namespace tk::host
