// Settings files on Windows: the ini file's bytes read with the portable reader, not with the
// profile functions, which take a UTF-8 file's byte-order mark for part of its first line.
#include <string>

#include "platform/code_pages.h"
#include "platform/host_platform.h"
#include "platform/profile.h"
#include "platform/windows/error_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {

// A missing file is no setting; one that is there but cannot be read is refused.
std::optional<std::string> HostPlatform::ProfileString(const std::string& path,
                                                       const std::string& section,
                                                       const std::string& key) {
  UniqueHandle file(CreateFileW(toWide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return std::nullopt;
    throw makeError(runtimeNumberFromWin32(error));
  }
  std::string bytes(kMaxProfileBytes + 1, '\0');  // one more: a larger file is refused
  std::size_t size = 0;
  DWORD got = 0;
  do {
    if (!ReadFile(file.get(), bytes.data() + size, static_cast<DWORD>(bytes.size() - size), &got,
                  nullptr))
      throwLastError();
    size += got;
  } while (got > 0 && size < bytes.size());
  bytes.resize(size);
  return profileValue(profileText(bytes, decodeAnsi), section, key);
}

}  // namespace tk::host
