// Administrator rights on Win32: the token's elevation, the elevated step started with the verb
// "runas" (Windows asks for the administrator's consent: a Yes for an administrator, a password
// for anyone else) and waited for with the form served, and the form window that owns that
// step's message boxes.
#include "platform/windows/elevation_win.h"

#include <charconv>
#include <cstdint>

#include "platform/host_platform.h"
#include "platform/progress.h"
#include "platform/windows/com_win.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/error_win.h"
#include "platform/windows/files_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/window_win.h"

#include <shellapi.h>

namespace tk::host {
namespace {

HWND adoptedOwner = nullptr;

#ifdef TOVRENKUR_TEST_HOOKS
// The test build alone: TOVRENKUR_TEST_ELEVATION=limited stands for a process without
// administrator rights, which Wine never starts. Read once and removed, so that no program this
// one starts (the elevated step above all) inherits it.
bool testLimited() {
  static const bool limited = [] {
    wchar_t value[16];
    DWORD length = GetEnvironmentVariableW(L"TOVRENKUR_TEST_ELEVATION", value, 16);
    SetEnvironmentVariableW(L"TOVRENKUR_TEST_ELEVATION", nullptr);
    return length > 0 && length < 16 && lstrcmpW(value, L"limited") == 0;
  }();
  return limited;
}
#endif

}  // namespace

TokenRights processRights() {
  TokenRights rights;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return rights;
  UniqueHandle owner(token);
  TOKEN_ELEVATION elevation{};
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  rights.elevated =
      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
      elevation.TokenIsElevated != 0;
  // Elevated without a split token (no UAC, the built-in Administrator, a service), the run has
  // no lesser rights to go back to.
  rights.aboveUser = rights.elevated &&
                     GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) &&
                     type == TokenElevationTypeFull;
#ifdef TOVRENKUR_TEST_HOOKS
  if (testLimited())
    rights = {};
#endif
  return rights;
}

HWND boxOwner() {
  HWND form = findFormWindow();
  if (form == nullptr && adoptedOwner != nullptr && IsWindow(adoptedOwner))
    return adoptedOwner;
  return form;
}

std::string HostPlatform::FormWindowId() {
  HWND form = findFormWindow();
  return form != nullptr ? std::to_string(reinterpret_cast<uintptr_t>(form)) : "";
}

// Only the form of another run of the installer: a number that names another window, or none,
// is refused. The process behind the window is not asked for its program: an administrator
// elevated for another user may not open that user's processes.
bool HostPlatform::AdoptOwnerWindow(const std::string& windowId) {
  uint64_t value = 0;
  const char* end = windowId.data() + windowId.size();
  auto [stop, error] = std::from_chars(windowId.data(), end, value);
  if (error != std::errc() || stop != end || value == 0)
    return false;
  HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
  wchar_t name[64];
  DWORD process = 0;
  if (!IsWindow(window) || GetClassNameW(window, name, 64) == 0 ||
      lstrcmpW(name, kFormClassName) != 0 || GetWindowThreadProcessId(window, &process) == 0 ||
      process == GetCurrentProcessId())
    return false;
  adoptedOwner = window;
  return true;
}

std::optional<int> HostPlatform::RunElevated(const std::string& arguments) {
  comApi();  // the shell may hand the start to COM objects, in the UI thread's apartment
  using ShellExecuteExFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  static const auto execute =
      moduleFunction<ShellExecuteExFunction>(loadSystemLibrary(L"shell32.dll"), "ShellExecuteExW");
  if (execute == nullptr)
    throw makeError(err::kCannotCreateObject);
  std::wstring program = modulePath(nullptr);
  std::wstring parameters = toWide(arguments);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // No error box of the shell's: the run says what went wrong. The consent prompt still shows,
  // over the form, and the call returns once the process has started or the consent was refused.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = findFormWindow();
  info.lpVerb = L"runas";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!execute(&info)) {
    DWORD error = GetLastError();
    if (error == ERROR_CANCELLED)  // the prompt was answered No, or closed
      return std::nullopt;
    throw makeError(runtimeNumberFromWin32(error));
  }
  UniqueHandle process(info.hProcess);
  if (!process)
    return -1;  // started, but no handle to wait for: its outcome is unknown
  LongWork work(WorkKind::StepProcess);
  work.run([&] { WaitForSingleObject(process.get(), INFINITE); });
  // A step that ended while its box was open (killed, say) leaves the form disabled.
  if (info.hwnd != nullptr)
    EnableWindow(info.hwnd, TRUE);
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code))
    throwLastError();
  return static_cast<int>(code);
}

}  // namespace tk::host
