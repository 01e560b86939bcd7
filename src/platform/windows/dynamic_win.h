// DLLs and functions found at run time: functions of newer Windows versions, so that the program
// still starts on a Windows that lacks them (Windows 7 without its updates, for one), and DLLs
// that the program loads only when it needs them, always from the system folder.
#pragma once

#include "platform/windows/win32.h"

namespace tk::host {

// A function of `module` through the one cast that -Wcast-function-type accepts for any
// signature; null when the module lacks it.
template <typename Fn>
Fn moduleFunction(HMODULE module, const char* name) {
  if (module == nullptr)
    return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Sets `function` to the function `name` of `module`; false when the module lacks it.
template <typename Function>
bool resolve(HMODULE module, const char* name, Function& function) {
  function = moduleFunction<Function>(module, name);
  return function != nullptr;
}

// The function `name` of a system DLL that every process has loaded already (kernel32, user32),
// or null when this Windows lacks it. Nothing is loaded from the search path.
template <typename Fn>
Fn systemFunction(const wchar_t* module, const char* name) {
  return moduleFunction<Fn>(GetModuleHandleW(module), name);
}

// Loads `name` (e.g. L"wininet.dll") from the system folder only, never from the folder of the
// setup package; null when it cannot be loaded. It stays loaded for the life of the program.
HMODULE loadSystemLibrary(const wchar_t* name);

}  // namespace tk::host
