// wWinMain: safe DLL loading first, then the program with its command line. COM and the shell
// wait for the Continue action, which loads them (com_win.cpp) and enters the single-threaded
// apartment then.
#include <cstdlib>

#include "app/program.h"
#include "platform/host_platform.h"
#include "platform/process.h"
#include "platform/window.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/files_win.h"
#include "platform/windows/strings_win.h"

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

// The whole command line as Windows gave it, split as the C runtime would split it, after the
// program's own name (which, unquoted, may hold blanks: the longest run that names a file).
tk::ProgramStart programStart() {
  tk::ProgramStart start;
  start.commandLine = tk::host::toUtf8(GetCommandLineW());
  start.arguments =
      tk::splitArguments(tk::splitProgram(start.commandLine, tk::host::isFile).arguments);
  return start;
}

}  // namespace

// The runtime's default terminate handler names the escaping exception on stderr, which a
// windowed program does not have; it links in a whole C++ name demangler and a printf (about
// 60 KB, a tenth of the exe) to write it. Ending the process is all it can usefully do here.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  restrictDllSearch();
  tk::host::HostPlatform platform;
  try {
    return tk::runProgram(platform, programStart(), tk::host::makeFormWindow);
  } catch (...) {
  }
  return tk::kExitFirstHalfFailed;
}
