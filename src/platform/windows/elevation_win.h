// Administrator rights on Win32, shared with the rest of the host: what this process's token
// says, and the window that owns the message boxes.
#pragma once

#include "platform/platform.h"
#include "platform/windows/win32.h"

namespace tk::host {

struct TokenRights {
  bool elevated = false;   // administrator rights
  bool aboveUser = false;  // the full half of a split token: raised above the user's own rights
};
TokenRights processRights();

// How an elevated run's programs get the signed-in user's rights (user_rights_win.cpp).
Platform::SystemFacts::UserRights userRightsFor(const TokenRights& rights);

// The owner of the program's message boxes: the form window, or in the elevated step the run's
// window that it adopted; null without either.
HWND boxOwner();

}  // namespace tk::host
