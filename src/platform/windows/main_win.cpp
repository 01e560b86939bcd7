// wWinMain: safe DLL loading first, then the program. COM and the shell wait for the Continue
// action, which loads them (com_win.cpp) and enters the single-threaded apartment then.
#include "app/program.h"
#include "platform/host_platform.h"
#include "platform/window.h"
#include "platform/windows/dynamic_win.h"

namespace {

// Only the system folder is searched for DLLs loaded later: a DLL planted beside the setup
// package in a downloads folder is never loaded. Looked up at run time, as Windows 7 without
// its update lacks it; there the current folder at least leaves the search order.
void restrictDllSearch() {
  using SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  auto restrict = tk::host::systemFunction<SetDefaultDllDirectories>(L"kernel32.dll",
                                                                     "SetDefaultDllDirectories");
  if (restrict == nullptr || !restrict(LOAD_LIBRARY_SEARCH_SYSTEM32))
    SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  restrictDllSearch();
  tk::host::HostPlatform platform;
  try {
    return tk::runProgram(platform, tk::host::makeFormWindow);
  } catch (const tk::PlatformError& error) {
    // The window itself could not be made: the failure is reported without one.
    tk::runHandler(platform, [&error] { throw error; });
  } catch (...) {
  }
  return 1;
}
