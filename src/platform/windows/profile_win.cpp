// Settings files through Windows' own profile functions (kernel32), which read the ANSI and the
// UTF-16 files that Notepad writes alike.
#include <string>

#include "platform/host_platform.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

namespace tk::host {

// GetPrivateProfileStringW gives its default for a missing file, section or key: a default no
// value of a text file can hold tells them from an empty value.
std::optional<std::string> HostPlatform::ProfileString(const std::string& path,
                                                       const std::string& section,
                                                       const std::string& key) {
  constexpr wchar_t kMissing[] = L"\x01";
  wchar_t value[512];
  DWORD length =
      GetPrivateProfileStringW(toWide(section).c_str(), toWide(key).c_str(), kMissing, value,
                               static_cast<DWORD>(std::size(value)), toWide(path).c_str());
  std::wstring_view text(value, length);
  if (text == kMissing)
    return std::nullopt;
  return toUtf8(text);
}

}  // namespace tk::host
