// Functions of newer Windows versions, looked up at run time so that the program still starts on
// a Windows that lacks them (Windows 7 without its updates, for one).
#pragma once

#include "platform/windows/win32.h"

namespace tk::host {

// The function `name` of a system DLL that every process has loaded already (kernel32, user32),
// or null when this Windows lacks it. Nothing is loaded from the search path.
template <typename Fn>
Fn systemFunction(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (handle == nullptr)
    return nullptr;
  // Through void (*)(): the one cast that -Wcast-function-type accepts for any signature.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

}  // namespace tk::host
