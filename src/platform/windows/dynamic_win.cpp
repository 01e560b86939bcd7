// Loading a DLL from the system folder only.
#include "platform/windows/dynamic_win.h"

#include <string>

namespace tk::host {

HMODULE loadSystemLibrary(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    // Windows 7 without KB2533623 lacks the search flag: name the system folder instead.
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
      module = LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
  }
  return module;
}

}  // namespace tk::host
