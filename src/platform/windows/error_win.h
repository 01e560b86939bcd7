// The last Win32 error as the runtime's number: read it right after the failing call, before any
// cleanup can change it.
#pragma once

#include "platform/error.h"
#include "platform/windows/win32.h"

namespace tk::host {

inline PlatformError lastError() {
  return makeError(runtimeNumberFromWin32(GetLastError()));
}

[[noreturn]] inline void throwLastError() {
  throw lastError();
}

}  // namespace tk::host
