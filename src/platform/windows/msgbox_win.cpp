// MsgBox on MessageBoxW, owned by the form window so that the form takes no input while it is open
// (in the elevated step, by the window of the run that started it).
#include "platform/error.h"
#include "platform/host_platform.h"
#include "platform/windows/elevation_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {

int HostPlatform::MsgBox(const std::string& prompt, int buttons,
                         const std::optional<std::string>& title) {
  // The runtime's button codes (0, 16, 64, 292) are MessageBoxW's own style bits.
  std::wstring text = toWide(prompt);
  std::wstring caption = toWide(title.value_or(kApplicationTitle));
  int answer = MessageBoxW(boxOwner(), text.c_str(), caption.c_str(), static_cast<UINT>(buttons));
  if (answer <= 0)  // no display, or no desktop to show it on
    throw makeError(err::kInvalidCall);
  return answer;
}

}  // namespace tk::host
