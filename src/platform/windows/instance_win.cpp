// The installer's one run in the user's session: a named mutex in the session's own namespace,
// and a second start bringing the running one's window to the front.
#include <memory>

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
  // The box or progress window that the form owns, when one is open: it is what takes input.
  HWND front = GetLastActivePopup(form);
  if (front == nullptr || !IsWindowVisible(front))
    front = form;
  // Allowed: the process that the user has just started holds the foreground right.
  SetForegroundWindow(front);
}

}  // namespace tk::host
