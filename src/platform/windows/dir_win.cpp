// Dir on FindFirstFileW / FindNextFileW, filtering the entries by the runtime's attribute mask.
#include "platform/windows/dir_win.h"

#include <string_view>

#include "platform/platform.h"
#include "platform/windows/strings_win.h"

namespace tk::host {
namespace {

// Whether an entry passes the mask. Only hidden and folder entries can be asked for; system
// entries are never returned (no caller asks for them), read-only and archive files are ordinary.
// "." and ".." are dropped as well: no caller enumerates folders.
bool accepted(const WIN32_FIND_DATAW& data, int attributes) {
  std::wstring_view name = data.cFileName;
  if (name == L"." || name == L"..")
    return false;
  DWORD refused = FILE_ATTRIBUTE_SYSTEM;
  if ((attributes & vbHidden) == 0)
    refused |= FILE_ATTRIBUTE_HIDDEN;
  if ((attributes & vbDirectory) == 0)
    refused |= FILE_ATTRIBUTE_DIRECTORY;
  return (data.dwFileAttributes & refused) == 0;
}

// The codes with which Windows says "no such entry": an empty answer, not a failure.
bool meansNothingThere(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
         code == ERROR_NO_MORE_FILES;
}

// FindFirstFileW refuses a pattern that ends in a separator; the runtime reads it as "every
// entry of that folder".
std::wstring searchPattern(const std::string& pathName) {
  std::wstring pattern = toWide(pathName);
  if (pattern.empty() || pattern.back() == L'\\' || pattern.back() == L'/')
    pattern += L'*';
  return pattern;
}

}  // namespace

std::string DirEnumeration::first(const std::string& pathName, int attributes) {
  find_.reset();
  started_ = true;
  attributes_ = attributes;
  WIN32_FIND_DATAW data{};
  HANDLE handle = FindFirstFileW(searchPattern(pathName).c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (meansNothingThere(code))
      return "";
    throw makeError(runtimeNumberFromWin32(code));
  }
  find_.reset(handle);
  if (accepted(data, attributes_))
    return toUtf8(data.cFileName);
  return next();
}

std::string DirEnumeration::next() {
  if (!started_)
    throw makeError(err::kInvalidCall);
  while (find_) {
    WIN32_FIND_DATAW data{};
    if (!FindNextFileW(find_.get(), &data)) {
      DWORD code = GetLastError();
      find_.reset();
      if (code == ERROR_NO_MORE_FILES)
        return "";
      throw makeError(runtimeNumberFromWin32(code));
    }
    if (accepted(data, attributes_))
      return toUtf8(data.cFileName);
  }
  return "";
}

}  // namespace tk::host
