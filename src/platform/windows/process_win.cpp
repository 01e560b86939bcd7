// Shell on Windows: CreateProcessW with the program always named, so Windows never guesses it
// from a search that begins beside the setup package; waited for only by ShellAndWait, on its
// process handle, as a long work.
#include "platform/windows/win32.h"

#include <vector>

#include "platform/host_platform.h"
#include "platform/process.h"
#include "platform/progress.h"
#include "platform/windows/files_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/package_folder_win.h"
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

namespace {

struct Started {
  UniqueHandle process;
  DWORD id = 0;
};

// A program started from the working folder (the package script) holds that folder while it
// runs: it inherits the hold, and nothing else of this process.
Started start(const std::string& commandLine, int windowStyle, const WorkingFolder* working) {
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup.StartupInfo;
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
  startup.StartupInfo.wShowWindow = showState(windowStyle);
  Launch launch = launchFor(commandLine);
  std::vector<wchar_t> text(launch.commandLine.begin(), launch.commandLine.end());
  text.push_back(L'\0');  // CreateProcessW may write into its command line
  HeldByChild held(working, commandLine);
  if (held.active()) {
    startup.StartupInfo.cb = sizeof startup;
    startup.lpAttributeList = held.attributes();
  }
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(launch.application.c_str(), text.data(), nullptr, nullptr, held.active(),
                      held.active() ? EXTENDED_STARTUPINFO_PRESENT : 0, nullptr, nullptr,
                      &startup.StartupInfo, &process)) {
    throw makeError(shellNumber(GetLastError()));
  }
  UniqueHandle thread(process.hThread);
  return {UniqueHandle(process.hProcess), process.dwProcessId};
}

}  // namespace

// Never waited for: the handles go at once.
double HostPlatform::Shell(const std::string& commandLine, int windowStyle) {
  return static_cast<double>(start(commandLine, windowStyle, working_.get()).id);
}

// The process handle is signalled when the program has ended (its own children are not waited
// for); its exit code is read only then, so STILL_ACTIVE can never pass for one.
std::optional<uint32_t> HostPlatform::ShellAndWait(const std::string& commandLine, int windowStyle,
                                                   std::chrono::milliseconds limit) {
  Started program = start(commandLine, windowStyle, working_.get());
  DWORD woken = WAIT_FAILED;
  LongWork work(WorkKind::Program);
  work.run([&] {
    woken = WaitForSingleObject(program.process.get(), static_cast<DWORD>(limit.count()));
  });
  DWORD code = 0;
  if (woken != WAIT_OBJECT_0 || !GetExitCodeProcess(program.process.get(), &code))
    return std::nullopt;
  return code;
}

}  // namespace tk::host
