// How Shell reaches a program on Win32, shared with the starts that take the signed-in user's
// rights (user_rights_win.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "platform/windows/win32.h"

namespace tk::host {

struct Launch {
  std::wstring application;  // full path, or the path as the caller wrote it
  std::wstring commandLine;  // what the program sees
};

// The program that `commandLine` names, always with its path (a bare "regsvr32" from the system
// folder), and the command line it gets.
Launch launchFor(const std::string& commandLine);
// The show state of one of Shell's window styles; another style is an invalid call.
WORD showState(int windowStyle);
// Why a program could not start, as Shell's runtime numbers it.
int32_t shellNumber(DWORD error);

}  // namespace tk::host
