// COM for a piece of work: the apartment it needs, and a failed HRESULT as the runtime error the
// program reports.
#pragma once

#include <cstdint>

#include "platform/error.h"
#include "platform/windows/com_ptr_win.h"
#include "platform/windows/win32.h"

#include <objbase.h>

namespace tk::host {

// A failed HRESULT as the error the caller sees: its number is the HRESULT, signed.
inline PlatformError comError(HRESULT result) {
  return makeError(static_cast<int32_t>(result));
}

inline void throwIfFailed(HRESULT result) {
  if (FAILED(result))
    throw comError(result);
}

// COM on this thread for the life of the object. A thread already in the other apartment kind
// keeps it (RPC_E_CHANGED_MODE): the objects used here work in either.
class ComInit {
 public:
  ComInit() {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (result == RPC_E_CHANGED_MODE)
      return;
    throwIfFailed(result);
    owns_ = true;
  }
  ~ComInit() {
    if (owns_)
      CoUninitialize();
  }
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;

 private:
  bool owns_ = false;
};

}  // namespace tk::host
