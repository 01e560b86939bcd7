// Shell on Windows: CreateProcessW with the program always named, so Windows never guesses it
// from a search that begins beside the setup package; never waited for.
#include "platform/windows/win32.h"

#include <vector>

#include "platform/host_platform.h"
#include "platform/process.h"
#include "platform/windows/files_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/process_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {

WORD showState(int windowStyle) {
  switch (windowStyle) {
    case 0:
      return SW_HIDE;
    case 1:
      return SW_SHOWNORMAL;
    case 2:
      return SW_SHOWMINIMIZED;
    case 3:
      return SW_SHOWMAXIMIZED;
    case 4:
      return SW_SHOWNOACTIVATE;
    case 6:
      return SW_SHOWMINNOACTIVE;
    default:
      throw makeError(err::kInvalidCall);
  }
}

namespace {

// The Windows system folder; for a 32-bit process on 64-bit Windows, WOW64 maps it onto the
// 32-bit tools.
std::wstring systemFolder() {
  wchar_t buffer[MAX_PATH];
  UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    throw makeError(err::kFileNotFound);
  return std::wstring(buffer, length);
}

// Why a program could not start, as Shell's runtime numbers; any other reason (a file that is
// no program) is an invalid call.
constexpr CodeGroup<DWORD> kShellNumbers[] = {
    {err::kFileNotFound,
     {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_NAME, ERROR_BAD_PATHNAME,
      ERROR_FILENAME_EXCED_RANGE}},
    {err::kPermissionDenied, {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}},
    {err::kOutOfMemory, {ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY}},
};

}  // namespace

int32_t shellNumber(DWORD error) {
  return lookup(kShellNumbers, error, err::kInvalidCall);
}

Launch launchFor(const std::string& commandLine) {
  ProgramPart part = splitProgram(commandLine, isFile);
  if (part.program.empty())
    throw makeError(err::kInvalidCall);
  Launch launch{toWide(part.program), toWide(commandLine)};
  if (part.bare) {
    bool hasExtension = part.program.find('.') != std::string::npos;
    launch.application =
        systemFolder() + L"\\" + launch.application + (hasExtension ? L"" : L".exe");
  } else if (!part.quoted && part.program.find_first_of(" \t") != std::string::npos) {
    // An unquoted path with blanks: the program gets it quoted, so it reads its own name whole.
    launch.commandLine = L"\"" + launch.application + L"\"" + toWide(part.arguments);
  }
  return launch;
}

double HostPlatform::Shell(const std::string& commandLine, int windowStyle) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showState(windowStyle);
  Launch launch = launchFor(commandLine);
  std::vector<wchar_t> text(launch.commandLine.begin(), launch.commandLine.end());
  text.push_back(L'\0');  // CreateProcessW may write into its command line
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(launch.application.c_str(), text.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    throw makeError(shellNumber(GetLastError()));
  }
  // Never waited for: the handles go at once.
  UniqueHandle thread(process.hThread);
  UniqueHandle program(process.hProcess);
  return static_cast<double>(process.dwProcessId);
}

}  // namespace tk::host
