// Text between UTF-8, UTF-16 and the system's ANSI and OEM code pages, with
// MultiByteToWideChar and WideCharToMultiByte.
#include "platform/code_pages.h"

#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

namespace tk::host {
namespace {

std::wstring decode(std::string_view bytes, UINT codePage) {
  if (bytes.empty())
    return {};
  int size =
      MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
  return wide;
}

std::string encode(std::wstring_view wide, UINT codePage) {
  if (wide.empty())
    return {};
  int size = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring toWide(std::string_view utf8) {
  return decode(utf8, CP_UTF8);
}

std::string toUtf8(std::wstring_view wide) {
  return encode(wide, CP_UTF8);
}

std::string toAnsi(std::string_view utf8) {
  return encode(toWide(utf8), CP_ACP);
}

std::string decodeOem(std::string_view bytes) {
  return toUtf8(decode(bytes, CP_OEMCP));
}

// MB_ERR_INVALID_CHARS: a byte the code page does not define fails instead of becoming U+FFFD.
std::optional<std::string> decodeAnsi(std::string_view bytes) {
  if (bytes.empty())
    return std::string();
  int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(),
                                 static_cast<int>(bytes.size()), nullptr, 0);
  if (size <= 0)
    return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                      wide.data(), size);
  return toUtf8(wide);
}

}  // namespace tk::host
