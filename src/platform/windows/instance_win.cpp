// The installer's one run in the user's session: a named mutex in the session's own namespace,
// and a second start bringing the running one's window to the front.
#include <memory>
#include <utility>

#include "platform/host_platform.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/window_win.h"

namespace tk::host {
namespace {

// "Local\": the user's session. Another user signed in beside this one runs an installer of
// their own.
constexpr const wchar_t* kInstanceName = L"Local\\TovrenKur.Kurulum";

// How long a second start waits for the first one's window, which a start a moment earlier may
// still be making.
constexpr int kWindowWaitSteps = 20;
constexpr DWORD kWindowWaitStep = 100;  // milliseconds

BOOL CALLBACK matchOwnedPopup(HWND hwnd, LPARAM search) {
  auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(search);  // the form, its popup
  if (GetWindow(hwnd, GW_OWNER) != found->first || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd))
    return TRUE;
  found->second = hwnd;
  return FALSE;
}

// What takes the form's input: the message box it shows (the form is disabled meanwhile), else
// the form. The last active popup names the box unless the form itself was activated since (as
// Wine has it then); the form's owned windows are searched in that case.
HWND frontWindowOf(HWND form) {
  HWND popup = GetLastActivePopup(form);
  if (popup != nullptr && popup != form && IsWindowVisible(popup))
    return popup;
  if (IsWindowEnabled(form))
    return form;
  std::pair<HWND, HWND> search{form, nullptr};
  EnumWindows(&matchOwnedPopup, reinterpret_cast<LPARAM>(&search));
  return search.second != nullptr ? search.second : form;
}

}  // namespace

// Windows closes the handle when the process ends, however it ends, and the name goes with the
// last handle.
bool HostPlatform::ClaimOnlyInstance() {
  SetLastError(ERROR_SUCCESS);
  UniqueHandle mutex(CreateMutexW(nullptr, FALSE, kInstanceName));
  DWORD error = GetLastError();
  // An elevated run's mutex may refuse a plain run access: it is held all the same.
  if (mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED)
    return false;
  if (mutex)
    instance_ = std::make_shared<UniqueHandle>(std::move(mutex));
  return true;  // a mutex that cannot be made at all stops no one from installing
}

void HostPlatform::ActivateOtherInstance() {
  HWND form = FindWindowW(kFormClassName, nullptr);
  for (int step = 0; form == nullptr && step < kWindowWaitSteps; ++step) {
    Sleep(kWindowWaitStep);
    form = FindWindowW(kFormClassName, nullptr);
  }
  if (form == nullptr)
    return;
  if (IsIconic(form))
    ShowWindowAsync(form, SW_RESTORE);
  // Allowed: the process that the user has just started holds the foreground right.
  SetForegroundWindow(frontWindowOf(form));
}

}  // namespace tk::host
